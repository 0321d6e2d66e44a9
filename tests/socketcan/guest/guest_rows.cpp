#include "guest/guest_rows.h"

namespace telpod::guest {

const std::vector<GuestRow>& GuestRows() {
  static const std::vector<GuestRow> rows{
      {0, 0, 0x123, 8, {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88}, 100, {}, true},
      {1, 1, 0x1ABCDEF0, 3, {0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0xA8}, 250, {}, true},
      {2, 0, 0x7FF, 2, {0xDE, 0xAD, 0xBE, 0xEF, 0, 0, 0, 0}, 0, {1000, 2000}, true},
      {3, 1, 0x00000001, 8, {1, 2, 3, 4, 5, 6, 7, 8}, 0, {1500}, true},
      // No standard frame can carry 0x800: neither the periodic row nor the
      // one-shot request may put anything (least of all 0x000) on the bus.
      {4, 0, 0x800, 8, {0x44, 0x44, 0x44, 0x44, 0x44, 0x44, 0x44, 0x44}, 100, {}, false},
      {5, 0, 0x800, 1, {0x55, 0, 0, 0, 0, 0, 0, 0}, 0, {1000}, false},
      // Nine bytes: the kernel refuses the frame, the loop goes on.
      {6, 0, 0x456, 9, {0x66, 0x66, 0x66, 0x66, 0x66, 0x66, 0x66, 0x66}, 200, {}, false},
      {7, 1, 0x18DAF110, 1, {0x3E, 0, 0, 0, 0, 0, 0, 0}, 150, {}, true},
  };
  return rows;
}

void LoadGuestRows(CAN_SendDB& SendDB) {
  for (const GuestRow& r : GuestRows()) {
    SendDB.set_CAN_Send29(r.row, r.extended);
    SendDB.set_CAN_ID(r.row, r.id);
    SendDB.set_CAN_DLC(r.row, r.dlc);
    for (int n = 1; n <= 8; ++n) SendDB.set_CAN_Data(n, r.row, r.data[static_cast<size_t>(n - 1)]);
    SendDB.set_CAN_SendCycleOperation(r.row, r.period_ms > 0 ? 1 : 0);
    if (r.period_ms > 0) SendDB.set_CAN_SendCycleTime(r.row, r.period_ms);
  }
  SendDB.Timer_Clear();
}

}  // namespace telpod::guest
