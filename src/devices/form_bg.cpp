#include "devices/form_bg.h"

#include "devices/canusb/canusb_connection.h"
#include "devices/ifcan/ifcan_connection.h"
#include "devices/kvaser/kvaser_connection.h"
#include "devices/socketcan/socketcan_connection.h"

namespace telpod {

FormBG::FormBG(int32_t& RxFlag, Clock& clock, ConnectionView& view,
               platform::MessageBoxes& messages, platform::EventPump& pump, DriverSet& drivers)
    : RxFlag_(RxFlag),
      clock_(clock),
      view_(view),
      messages_(messages),
      pump_(pump),
      drivers_(drivers) {}

template <typename MakeFamily>
int32_t FormBG::Run(ELM327_Info& device, CAN_SendDB& SendDB, int32_t on_error,
                    MakeFamily make) noexcept {
  try {
    auto family = make();
    ConnectionContext ctx{device, SendDB, RxFlag_, clock_, view_, messages_, pump_};
    return RunConnection(ctx, family);
  } catch (...) {
    RxFlag_ = 0;
    return on_error;
  }
}

void FormBG::Open_CANUSB(ELM327_Info& device, CANUSB& CAN_u, CAN_DB& CAN_d, CAN_SendDB& SendDB) {
  Run(device, SendDB, 0, [&] { return CanusbConnection(drivers_.canusb.get(), CAN_u, CAN_d); });
}

int32_t FormBG::Open_InterfaceCAN(ELM327_Info& device, InterfaceCAN& IfCan_u,
                                  CAN_DB_Interface& IfCan_d, CAN_SendDB& SendDB) {
  // Should anything fail outside the driver, the caller shows this status.
  return Run(device, SendDB, IfCan_u.IFCAN_ERROR_NOT_READY(),
             [&] { return IfCanConnection(drivers_.ifcan.get(), IfCan_u, IfCan_d); });
}

void FormBG::Open_KvaserCAN(ELM327_Info& device, KvaserCAN& kvCan_u, CAN_DB_Kvaser& kvCan_d,
                            CAN_SendDB& SendDB) {
  Run(device, SendDB, 0, [&] { return KvaserConnection(drivers_.canlib.get(), kvCan_u, kvCan_d); });
}

void FormBG::Open_SocketCAN(ELM327_Info& device, CAN_DB_SocketCAN& sockCan_d,
                            SocketCanSystem& socketcan, CAN_SendDB& SendDB) {
  Run(device, SendDB, 0, [&] { return SocketCanConnection(sockCan_d, socketcan); });
}

}  // namespace telpod
