#include "devices/form_bg.h"

#include "devices/canusb/canusb_family.h"
#include "devices/ifcan/ifcan_family.h"
#include "devices/kvaser/kvaser_family.h"
#include "devices/socketcan/socketcan_family.h"

namespace telpod {

FormBG::FormBG(int32_t& RxFlag, Clock& clock, ConnectionView& view,
               platform::MessageBoxes& messages, platform::EventPump& pump,
               const DriverSet& drivers, ConnectionExtras extras)
    : RxFlag_(RxFlag),
      clock_(clock),
      view_(view),
      messages_(messages),
      pump_(pump),
      drivers_(drivers),
      extras_(extras) {}

std::optional<std::string> FormBG::Open_ChosenDevice(FamilySet& families, CAN_SendDB& SendDB) {
  DeviceFamily* family = families.Chosen();
  if (family == nullptr) return std::nullopt;
  RxFlag_ = 1;
  return family->StatusAfter(ConnectFamily(families.device, *family, SendDB));
}

int32_t FormBG::ConnectFamily(ELM327_Info& device, DeviceFamily& family,
                              CAN_SendDB& SendDB) noexcept {
  // Should anything fail outside the driver, the family says what that means.
  int32_t on_error = 0;
  try {
    on_error = family.FailureResult();
    const auto connection = family.Connection();
    ConnectionContext ctx{device, SendDB, RxFlag_, clock_, view_, messages_, pump_, extras_};
    return RunConnection(ctx, *connection);
  } catch (...) {
    RxFlag_ = 0;
    return on_error;
  }
}

void FormBG::Open_CANUSB(ELM327_Info& device, CANUSB& CAN_u, CAN_DB& CAN_d, CAN_SendDB& SendDB) {
  CanusbFamily family(device, CAN_u, CAN_d, drivers_);
  ConnectFamily(device, family, SendDB);
}

int32_t FormBG::Open_InterfaceCAN(ELM327_Info& device, InterfaceCAN& IfCan_u,
                                  CAN_DB_Interface& IfCan_d, CAN_SendDB& SendDB) {
  IfCanFamily family(device, IfCan_u, IfCan_d, drivers_);
  return ConnectFamily(device, family, SendDB);
}

void FormBG::Open_KvaserCAN(ELM327_Info& device, KvaserCAN& kvCan_u, CAN_DB_Kvaser& kvCan_d,
                            CAN_SendDB& SendDB) {
  KvaserFamily family(device, kvCan_u, kvCan_d, drivers_);
  ConnectFamily(device, family, SendDB);
}

void FormBG::Open_SocketCAN(ELM327_Info& device, CAN_DB_SocketCAN& sockCan_d,
                            SocketCanSystem& socketcan, CAN_SendDB& SendDB) {
  SocketCanFamily family(sockCan_d, socketcan);
  ConnectFamily(device, family, SendDB);
}

}  // namespace telpod
