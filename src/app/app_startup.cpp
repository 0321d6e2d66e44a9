// Start-up: the single-instance rule, the shared objects reset, the library
// check, the settings file, the device search with its progress window, the
// device list, and the three points where the program ends with a message.
// What is not the window's own is shared with telpod-send (src/devices).
#include <QComboBox>
#include <QLineEdit>
#include <iostream>
#include <string>

#include "app/connection_area.h"
#include "app/form1.h"
#include "app/form2.h"
#include "app/qt_window_ports.h"
#include "devices/device_selection.h"
#include "devices/driver_check.h"
#include "platform/atomic_file.h"
#include "platform/ignoring_errors.h"
#include "platform/program_folder.h"
#include "send/connection_skeleton.h"
#include "settings/file_save_system.h"
#include "settings/row_rules_file.h"
#include "settings/xls/excel_install_check.h"

namespace telpod {

using platform::IgnoringErrors;

bool Form1::Form_Load() {
  if (!single_instance_.Acquire()) return false;  // silently: the other one is in charge
  return App_Startup();
}

void Form1::Progress(double p) {
  if (Form2_) Form2_->SetProgress(p);
  pump_->DoEvents();
}

void Form1::Judging() {
  if (Form2_) Form2_->SetMessage(tr("検索結果の判断処理中"));
  pump_->DoEvents();
}

void Form1::AddEntry(const std::string& text) {
  pump_->DoEvents();
  area_->Cmb_Serect_Device->addItem(QString::fromStdString(text));
}

void Form1::ShowStopMessage(const platform::SourceText& first_line) {
  if (Form2_) Form2_->hide();
  ports_.messages->Show(StartupStopMessage(first_line), device.Application_title(),
                        platform::MessageIcon::Critical);
}

bool Form1::App_Startup() {
  Reset_Shared_Objects(families_, Tx_CANDATA);
  setWindowTitle(QString::fromStdString(device.Application_title()));

  int32_t mask = 0;
  IgnoringErrors([&] { mask = Check_DriverFiles(); });
  if (mask < 1) return false;

  IgnoringErrors([&] { FileSaveSystem::Load_SettingFile(device, Tx_CANDATA); });
  IgnoringErrors([&] { LoadRules(); });

  IgnoringErrors([&] {
    Form2_ = new Form2(this);
    Form2_->SetMessage(tr("デバイスの初期処理中"));
    Form2_->SetProgress(0.0);
    Form2_->show();
  });
  if (!Find_Devices(mask, families_, *pump_, *this)) {
    ShowStopMessage(startup_text::kNoDevice);
    return false;
  }

  IgnoringErrors([&] {
    area_->Cmb_Serect_Device->setCurrentIndex(0);
    Cmb_Serect_Device_Click();
  });
  int32_t result = 0;
  IgnoringErrors([&] {
    device.set_t_CmbBOX_device_SelectNo(1);
    result = Show_SelectedDevice_Info();
  });
  Progress(0.8);
  if (result < 0) {
    ShowStopMessage(connection_message::kDeviceNotWorking);
    return false;
  }

  IgnoringErrors([&] {
    if (Form2_) Form2_->hide();
    Check_Excel_Install();
  });
  Progress(0.9);
  IgnoringErrors([&] {
    ConnectionView& view = *this;
    FormBG_ =
        std::make_unique<FormBG>(RxFlag, *clock_, view, *ports_.messages, *pump_, families_.drivers,
                                 ConnectionExtras{.rules = &rules, .replay = &replay_});
    Form_Load_Initialize();
  });
  return true;
}

void Form1::LoadRules() {
  const std::string path = RowRulesFile::Path();
  platform::RemoveStaleTemporaryFiles(path);  // a save a crash cut short
  const RowRulesFile::Outcome outcome = RowRulesFile::Load(path, rules);
  if (outcome.kind != RowRulesFile::Outcome::Kind::Damaged) return;
  ports_.messages->Show(RowRulesFile::DamagedMessage(path, outcome), device.Application_title(),
                        platform::MessageIcon::Warning);
}

int32_t Form1::Check_DriverFiles() {
  if (!(clock_ = ZqtClock::Load(platform::ProgramFolder()))) {
    ports_.messages->Show(ClockLibraryMissingMessage(), device.Application_title(),
                          platform::MessageIcon::Critical);
    return -1;
  }
  return Check_DriverLibraries(families_, *ports_.messages, device.Application_title(), std::cerr,
                               "telpod");
}

void Form1::Check_Excel_Install() {
  Setting_import_export::Check_Excel_Install(device);
}

void Form1::Cmb_Serect_Device_Click() {
  const int32_t p = area_->Cmb_Serect_Device->currentIndex() + 1;
  if (p == device.t_CmbBOX_device_SelectNo()) return;  // the same device: no new probe
  device.set_t_CmbBOX_device_SelectNo(p);
  Show_SelectedDevice_Info();
}

int32_t Form1::Show_SelectedDevice_Info() {
  const SelectedDeviceInfo info = telpod::Show_SelectedDevice_Info(families_);
  if (info.TB_ODB_Hard_Version) {
    area_->TB_ODB_Hard_Version->setText(QString::fromStdString(*info.TB_ODB_Hard_Version));
  }
  return info.result;
}

}  // namespace telpod
