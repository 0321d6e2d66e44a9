#pragma once

#include <cstdint>
#include <string>

#include "model/array_fill.h"

namespace telpod {

// The application information object: identity texts and the program-wide
// settings and selections. A passive store; it validates nothing.
class ELM327_Info : public ArrayFill {
 public:
  ELM327_Info() { Param_ALL_Clear(); }

  // Every field to its default; the import/export folder starts as the
  // program folder, or the user's home when the program folder is the
  // system's.
  void Param_ALL_Clear();

  int32_t install_version() const { return install_version_; }
  void set_install_version(int32_t v) { install_version_ = v; }
  const std::string& Application_title() const { return Application_title_; }
  void set_Application_title(std::string v) { Application_title_ = std::move(v); }
  const std::string& Copy_light() const { return Copy_light_; }
  void set_Copy_light(std::string v) { Copy_light_ = std::move(v); }
  const std::string& Homepage_URL() const { return Homepage_URL_; }
  void set_Homepage_URL(std::string v) { Homepage_URL_ = std::move(v); }
  int32_t ExcelInstallCheck() const { return ExcelInstallCheck_; }
  void set_ExcelInstallCheck(int32_t v) { ExcelInstallCheck_ = v; }
  int32_t ExcelInstallVersion() const { return ExcelInstallVersion_; }
  void set_ExcelInstallVersion(int32_t v) { ExcelInstallVersion_ = v; }
  int32_t t_bitRate() const { return t_bitRate_; }
  void set_t_bitRate(int32_t v) { t_bitRate_ = v; }
  int32_t t_ViewCaution() const { return t_ViewCaution_; }
  void set_t_ViewCaution(int32_t v) { t_ViewCaution_ = v; }
  int32_t t_CmbBOX_device_SelectNo() const { return t_CmbBOX_device_SelectNo_; }
  void set_t_CmbBOX_device_SelectNo(int32_t v) { t_CmbBOX_device_SelectNo_ = v; }
  int32_t t_select_Vender() const { return t_select_Vender_; }
  void set_t_select_Vender(int32_t v) { t_select_Vender_ = v; }
  const std::string& t_setting_file_path() const { return t_setting_file_path_; }
  void set_t_setting_file_path(std::string v) { t_setting_file_path_ = std::move(v); }

  static constexpr int32_t kInstallVersion = 111;
  static constexpr const char* kApplicationTitle = "TELPOD Ver1.11";
  static constexpr const char* kCopyLight = "Copyright (C) TELPOD Works";
  static constexpr const char* kHomepageURL = "https://telpod.example.jp/";
  static constexpr int32_t kDefaultBitRate = 2;  // 500 kbit/s

 private:
  int32_t install_version_ = 0;
  std::string Application_title_;
  std::string Copy_light_;
  std::string Homepage_URL_;
  int32_t ExcelInstallCheck_ = 0;
  int32_t ExcelInstallVersion_ = 0;
  int32_t t_bitRate_ = 0;
  int32_t t_ViewCaution_ = 0;
  int32_t t_CmbBOX_device_SelectNo_ = 0;
  int32_t t_select_Vender_ = 0;
  std::string t_setting_file_path_;
};

// The version as the user reads it: 111 -> "1.11".
std::string InstallVersionText(int32_t install_version);

}  // namespace telpod
