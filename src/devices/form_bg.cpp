#include "devices/form_bg.h"

#include "devices/canusb/canusb_connection.h"
#include "devices/ifcan/ifcan_connection.h"
#include "devices/kvaser/kvaser_connection.h"
#include "devices/socketcan/socketcan_connection.h"
#include "model/family.h"

namespace telpod {

FormBG::FormBG(int32_t& RxFlag, Clock& clock, ConnectionView& view,
               platform::MessageBoxes& messages, platform::EventPump& pump, DriverSet& drivers,
               WriteObserver* writes, ReplaySlot* replay)
    : RxFlag_(RxFlag),
      clock_(clock),
      view_(view),
      messages_(messages),
      pump_(pump),
      drivers_(drivers),
      writes_(writes),
      replay_(replay) {}

template <typename MakeFamily>
int32_t FormBG::Run(ELM327_Info& device, CAN_SendDB& SendDB, int32_t on_error,
                    MakeFamily make) noexcept {
  try {
    auto family = make();
    ConnectionContext ctx{device,    SendDB, RxFlag_, clock_, view_,
                          messages_, pump_,  writes_, replay_};
    return RunConnection(ctx, family);
  } catch (...) {
    RxFlag_ = 0;
    return on_error;
  }
}

std::optional<std::string> FormBG::Open_ChosenDevice(ELM327_Info& device, FamilyObjects& f,
                                                     SocketCanSystem& socketcan,
                                                     CAN_SendDB& SendDB) {
  const Family family = FamilyOf(device.t_select_Vender());
  if (family == Family::None) return std::nullopt;
  RxFlag_ = 1;
  switch (family) {
    case Family::CANUSB:
      Open_CANUSB(device, f.CAN_u, f.CAN_d, SendDB);
      break;
    case Family::Interface: {
      const int32_t status = Open_InterfaceCAN(device, f.IfCan_u, f.IfCan_d, SendDB);
      if (status != f.IfCan_u.IFCAN_ERROR_SUCCESS()) return f.IfCan_u.Get_Status_Message(status);
      break;
    }
    case Family::Kvaser:
      Open_KvaserCAN(device, f.kvCan_u, f.kvCan_d, SendDB);
      break;
    case Family::SocketCAN:
      Open_SocketCAN(device, f.sockCan_d, socketcan, SendDB);
      break;
    case Family::None:
      break;
  }
  return std::string();
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
