// Start-up: the single-instance rule, the shared objects reset, the library
// check, the settings file, the device search with its progress window, the
// device list, and the three points where the program ends with a message.
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <array>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "app/connection_area.h"
#include "app/form1.h"
#include "app/form2.h"
#include "app/qt_window_ports.h"
#include "devices/canusb/find_canusb_adapters.h"
#include "devices/device_selection.h"
#include "devices/ifcan/find_interface_boards.h"
#include "devices/kvaser/find_kvaser_channels.h"
#include "devices/socketcan/socketcan_discovery.h"
#include "model/family.h"
#include "platform/driver_folders.h"
#include "platform/file_system.h"
#include "platform/program_folder.h"
#include "platform/translation.h"
#include "settings/file_save_system.h"

namespace telpod {

namespace {

// The built-in workbook engine writes the Excel 97-2003 format, the format
// of Excel 11 and the versions before.
constexpr int32_t kWorkbookEngineVersion = 11;

// A start-up step whose failure is ignored: the next step runs.
template <typename Step>
void Ignoring(Step step) {
  try {
    step();
  } catch (const std::exception&) {
  } catch (...) {
  }
}

// "a", "a もしくは b", "a、b もしくは c".
std::string EitherOf(const std::vector<std::string>& names) {
  std::string text;
  for (size_t k = 0; k < names.size(); ++k) {
    if (k > 0) {
      text += k + 1 == names.size() ? platform::Tr(TELPOD_TEXT("Startup", " もしくは "))
                                    : platform::Tr(TELPOD_TEXT("Startup", "、"));
    }
    text += names[k];
  }
  return text;
}

// No family can run: each library found but unusable is named with the
// loader's reason; the missing ones as not found, with where the first
// belongs.
std::string NoDriverMessage(const std::array<DriverReport, 3>& reports,
                            const std::string& end_line) {
  const std::string crlf = platform::kCrLf;
  std::string text;
  std::vector<std::string> missing;
  for (const auto& report : reports) {
    if (!report.found) {
      missing.emplace_back(report.file);
    } else {
      text += platform::Tr(TELPOD_TEXT("Startup", "%1 を使用できません。"), {report.file}) + crlf +
              report.reason + crlf;
    }
  }
  if (!missing.empty()) {
    text += platform::Tr(TELPOD_TEXT("Startup", "%1 が見つかりません。"), {EitherOf(missing)}) +
            crlf + platform::JoinPath(platform::DriverFolders().front(), missing.front()) + crlf +
            platform::Tr(TELPOD_TEXT("Startup", "ドライバがインストールされていません。")) + crlf;
  }
  return text + end_line;
}

// The program runs on without them; whoever started it learns why.
void NoteUnusableLibraries(const std::array<DriverReport, 3>& reports) {
  for (const auto& report : reports) {
    if (report.found && !report.loaded) {
      std::cerr << "telpod: " << report.file << " not used: " << report.reason << '\n';
    }
  }
}

}  // namespace

bool Form1::Form_Load() {
  if (!single_instance_.Acquire()) return false;  // silently: the other one is in charge
  return App_Startup();
}

void Form1::Progress(double p) {
  if (Form2_) Form2_->SetProgress(p);
  pump_->DoEvents();
}

void Form1::ShowStopMessage(const QString& first_line) {
  ports_.messages->Show(first_line.toStdString() + platform::kCrLf + EndApplicationLine(),
                        device.Application_title(), platform::MessageIcon::Critical);
}

std::string Form1::EndApplicationLine() const {
  return tr("アプリケーションを終了します。").toStdString();
}

bool Form1::App_Startup() {
  device.Param_ALL_Clear();
  CAN_d.Param_ALL_Clear();
  CAN_u.Param_ALL_Clear();
  IfCan_d.Param_ALL_Clear();
  IfCan_u.Param_ALL_Clear();
  kvCan_d.Param_ALL_Clear();
  kvCan_u.Param_ALL_Clear();
  sockCan_d.Param_ALL_Clear();
  Tx_CANDATA.Param_ALL_Clear();
  setWindowTitle(QString::fromStdString(device.Application_title()));

  int32_t mask = 0;
  Ignoring([&] { mask = Check_DriverFiles(); });
  if (mask < 1) return false;

  Ignoring([&] { FileSaveSystem::Load_SettingFile(device, Tx_CANDATA); });

  Ignoring([&] {
    Form2_ = new Form2(this);
    Form2_->SetMessage(tr("デバイスの初期処理中"));
    Form2_->SetProgress(0.0);
    Form2_->show();
  });
  Progress(0.15);
  if (mask & DriverMaskBit(Family::CANUSB)) {
    Ignoring([&] { Find_CANUSB_Adapters(device, CAN_d, *drivers_.canusb, *pump_); });
  }
  Progress(0.3);
  if (mask & DriverMaskBit(Family::Interface)) {
    Ignoring([&] { Find_Interface_Boards(device, IfCan_u, IfCan_d, *drivers_.ifcan, *pump_); });
  }
  Progress(0.4);
  if (mask & DriverMaskBit(Family::Kvaser)) {
    Ignoring([&] { Find_Kvaser_Channels(device, kvCan_u, kvCan_d, *drivers_.canlib, *pump_); });
  }
  if (mask & DriverMaskBit(Family::SocketCAN)) {
    Ignoring([&] { Find_SocketCAN_Interfaces(device, sockCan_d, *ports_.socketcan, *pump_); });
  }
  Progress(0.45);

  if (Form2_) Form2_->SetMessage(tr("検索結果の判断処理中"));
  pump_->DoEvents();
  if (CAN_d.CAN_USB_FindCount() < 1 && IfCan_d.Interface_CAN_FindCount() < 1 &&
      kvCan_d.Kvaser_FindCount() < 1 && sockCan_d.SocketCAN_FindCount() < 1) {
    if (Form2_) Form2_->hide();
    ShowStopMessage(tr("デバイスが見つかりません。"));
    return false;
  }

  Ignoring([&] {
    const auto entries = Device_List_Entries(CAN_d, IfCan_d, kvCan_d, &sockCan_d);
    const size_t canusb_entries = static_cast<size_t>(std::max(0, CAN_d.CAN_USB_FindCount()));
    for (size_t n = 0; n < entries.size(); ++n) {
      if (n == canusb_entries) Progress(0.6);
      pump_->DoEvents();
      area_->Cmb_Serect_Device->addItem(QString::fromStdString(entries[n]));
    }
    if (canusb_entries >= entries.size()) Progress(0.6);
  });
  Progress(0.7);

  Ignoring([&] {
    area_->Cmb_Serect_Device->setCurrentIndex(0);
    Cmb_Serect_Device_Click();
  });
  int32_t result = 0;
  Ignoring([&] {
    device.set_t_CmbBOX_device_SelectNo(1);
    result = Show_SelectedDevice_Info();
  });
  Progress(0.8);
  if (result < 0) {
    if (Form2_) Form2_->hide();
    ShowStopMessage(tr("機器が正常に動作していません。"));
    return false;
  }

  Ignoring([&] {
    if (Form2_) Form2_->hide();
    Check_Excel_Install();
  });
  Progress(0.9);
  Ignoring([&] {
    ConnectionView& view = *this;
    FormBG_ = std::make_unique<FormBG>(RxFlag, *clock_, view, *ports_.messages, *pump_, drivers_);
    Form_Load_Initialize();
  });
  return true;
}

int32_t Form1::Check_DriverFiles() {
  const std::string folder = platform::ProgramFolder();
  const QString clock_file = QString::fromLatin1(platform::kClockLibraryFile);
  if (!platform::FileExists(platform::JoinPath(folder, platform::kClockLibraryFile)) ||
      !(clock_ = ZqtClock::Load(folder))) {
    ports_.messages->Show(
        tr("%1 が見つかりません。").arg(clock_file).toStdString() + platform::kCrLf +
            tr("%1 は同梱のものを使用してください。").arg(clock_file).toStdString() +
            platform::kCrLf + EndApplicationLine(),
        device.Application_title(), platform::MessageIcon::Critical);
    return -1;
  }

  // A library that is present but cannot be used leaves its family out;
  // the others go on, and standard error says why.
  const auto reports = drivers_.LoadAll();
  int32_t mask = 0;
  for (const auto& report : reports) {
    if (report.loaded) mask += DriverMaskBit(report.family);
  }
  mask += Check_SocketCAN_Driver(*ports_.socketcan);
  if (mask == 0) {
    ports_.messages->Show(NoDriverMessage(reports, EndApplicationLine()),
                          device.Application_title(), platform::MessageIcon::Critical);
    return -1;
  }
  NoteUnusableLibraries(reports);
  return mask;
}

void Form1::Check_Excel_Install() {
  // The workbook engine is part of the program, so a spreadsheet writer and
  // reader is always there.
  device.set_ExcelInstallCheck(1);
  device.set_ExcelInstallVersion(kWorkbookEngineVersion);
}

void Form1::Cmb_Serect_Device_Click() {
  const int32_t p = area_->Cmb_Serect_Device->currentIndex() + 1;
  if (p == device.t_CmbBOX_device_SelectNo()) return;  // the same device: no new probe
  device.set_t_CmbBOX_device_SelectNo(p);
  Show_SelectedDevice_Info();
}

int32_t Form1::Show_SelectedDevice_Info() {
  const SelectedDeviceInfo info =
      telpod::Show_SelectedDevice_Info(device, CAN_u, CAN_d, IfCan_u, IfCan_d, kvCan_u, kvCan_d,
                                       drivers_, &sockCan_d, ports_.socketcan);
  if (info.TB_ODB_Hard_Version) {
    area_->TB_ODB_Hard_Version->setText(QString::fromStdString(*info.TB_ODB_Hard_Version));
  }
  return info.result;
}

}  // namespace telpod
