#include "devices/ifcan/ifcan_device_texts.h"

#include "abi/ifcan_abi.h"
#include "devices/ifcan/ifcan_model_name.h"
#include "platform/translation.h"

namespace telpod {

namespace {

std::string ModelText(const CAN_DB_Interface& IfCan_d, int16_t i) {
  return "Interface " +
         Get_IFCan_ModelName(IfCan_d.IfCAN_info_ulDeviceID(i), IfCan_d.IfCAN_info_ulSubsystemID(i));
}

}  // namespace

std::string Interface_Entry_Text(const CAN_DB_Interface& IfCan_d, int16_t i) {
  return ModelText(IfCan_d, i) + " port:" + std::to_string(IfCan_d.Interface_CAN_FindNo(i));
}

std::string Interface_Info_Text(const CAN_DB_Interface& IfCan_d, int16_t i) {
  std::string text = ModelText(IfCan_d, i) +
                     " RevID:" + std::to_string(IfCan_d.IfCAN_info_ulRevisionID(i)) +
                     " ch:" + std::to_string(IfCan_d.IfCAN_info_ulChannelNumber(i));
  if (IfCan_d.IfCAN_info_ulPhysicalLayer(i) == ifcan_abi::CAN_PHYSICALLAYER_HIGHSPEED) {
    text.append(" ").append(platform::Tr(TELPOD_TEXT("DeviceInfo", "高速CAN対応")));
  }
  return text;
}

}  // namespace telpod
