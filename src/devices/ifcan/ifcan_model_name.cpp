#include "devices/ifcan/ifcan_model_name.h"

#include <array>

namespace telpod {

namespace {

struct Model {
  int32_t device_id;
  int32_t subsystem_id;
  const char* name;
};

constexpr std::array<Model, 25> kModels{{
    {0x12F3, 0x2094, "PCI-485120"},  {0x12F3, 0x3894, "PCI-485120"},
    {0x12F3, 0x208B, "PCI-485111"},  {0x12F3, 0x2082, "PCI-485102"},
    {0x12F3, 0x208A, "PCI-485110"},  {0x12F4, 0x2094, "PCI-485220"},
    {0x12F4, 0x208B, "PCI-485211"},  {0x12F4, 0x2082, "PCI-485202"},
    {0x12F4, 0x209E, "PCI-485230P"}, {0x12F5, 0x20A8, "PCI-485340"},
    {0x12F5, 0x2096, "PCI-485322"},  {0x12F5, 0x2084, "PCI-485304"},
    {0x12F6, 0x2094, "PCI-485420P"}, {0x12F5, 0x24A8, "CPZ-485340"},
    {0x12F5, 0x2496, "CPZ-485322"},  {0x12F5, 0x2484, "CPZ-485304"},
    {0x12F4, 0x2494, "CPZ-485220"},  {0x12F4, 0x248B, "CPZ-485211"},
    {0x12F4, 0x2482, "CPZ-485202"},  {0x12F6, 0x2494, "CPZ-485420P"},
    {0x12F3, 0x0201, "CBI-4851"},    {0x12F4, 0x0201, "CBI-4852"},
    {0x12F3, 0x2894, "CBI-485120"},  {0x12F4, 0x2894, "CBI-485220"},
    {0x12F6, 0x2894, "CSI-485420"},
}};

}  // namespace

std::string Get_IFCan_ModelName(int32_t deviceId, int32_t subsystemId) {
  for (const Model& model : kModels) {
    if (model.device_id == deviceId && model.subsystem_id == subsystemId) return model.name;
  }
  return "";
}

}  // namespace telpod
