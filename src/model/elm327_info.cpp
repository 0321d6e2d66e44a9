#include "model/elm327_info.h"

#include <cstdio>

#include "platform/user_folders.h"

namespace telpod {

void ELM327_Info::Param_ALL_Clear() {
  install_version_ = kInstallVersion;
  Application_title_ = kApplicationTitle;
  Copy_light_ = kCopyLight;
  Homepage_URL_ = kHomepageURL;
  ExcelInstallCheck_ = 0;
  ExcelInstallVersion_ = 0;
  t_bitRate_ = kDefaultBitRate;
  t_ViewCaution_ = 1;
  t_CmbBOX_device_SelectNo_ = 0;
  t_select_Vender_ = 0;
  t_setting_file_path_ = platform::DefaultFileFolder();
}

std::string InstallVersionText(int32_t install_version) {
  char text[32];
  std::snprintf(text, sizeof text, "%d.%02d", install_version / 100, install_version % 100);
  return text;
}

}  // namespace telpod
