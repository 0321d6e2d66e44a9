#include "devices/canusb/canusb_version_probe.h"

namespace telpod {

SelectedDeviceInfo Probe_CANUSB_Version(int32_t t_bitRate, CANUSB& CAN_u, CAN_DB& CAN_d,
                                        CanusbDriver& driver) {
  CAN_d.set_CAN_USB_SelectSerial(
      CAN_d.CAN_USB_FindSerialNo(static_cast<int16_t>(CAN_d.CAN_USB_SelectNo())));
  const std::string bitrate = CanusbBitRateText(CAN_u, t_bitRate);
  if (bitrate.empty()) return {0, std::nullopt};
  CAN_d.set_CAN_USB_Handle(
      driver.Open(CAN_d.CAN_USB_SelectSerial(), bitrate, CAN_u.CANUSB_ACCEPTANCE_CODE_ALL(),
                  CAN_u.CANUSB_ACCEPTANCE_MASK_ALL(), CAN_u.CANUSB_FLAG_TIMESTAMP()));
  if (CAN_d.CAN_USB_Handle() <= 0) return {0, std::nullopt};

  std::string version;
  const int16_t version_result = driver.VersionInfo(CAN_d.CAN_USB_Handle(), version);
  CAN_d.set_CAN_USB_Version(version);
  SelectedDeviceInfo info;
  info.TB_ODB_Hard_Version = version_result < 1 ? std::string("???") : version;
  info.result = driver.Close(CAN_d.CAN_USB_Handle());
  return info;
}

}  // namespace telpod
