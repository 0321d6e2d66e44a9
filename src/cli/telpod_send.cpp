#include "cli/telpod_send.h"

#include <algorithm>
#include <csignal>
#include <exception>
#include <memory>
#include <optional>

#include "cli/bus_load_lines.h"
#include "cli/candump_printer.h"
#include "cli/device_choice.h"
#include "cli/rows_source.h"
#include "cli/rules_source.h"
#include "cli/run_record.h"
#include "cli/run_summary.h"
#include "cli/send_options.h"
#include "cli/stop_pump.h"
#include "cli/terminal_messages.h"
#include "devices/device_discovery.h"
#include "devices/device_selection.h"
#include "devices/driver_check.h"
#include "devices/family_registry.h"
#include "devices/form_bg.h"
#include "model/bit_rate_table.h"
#include "platform/built_in_english.h"
#include "platform/program_folder.h"
#include "platform/sleeping_pump.h"
#include "platform/termination_signals.h"
#include "send/replay_summary_text.h"
#include "send/zqt_clock.h"
#include "settings/file_save_system.h"
#include "settings/logs/recorded_log.h"
#include "settings/xls/excel_install_check.h"

namespace telpod {

namespace {

constexpr const char* kProgram = "telpod-send";

// "Interface devices take 1M, 500k, 250k, 125k, 100k, 50k (--rate)" when
// the chosen family does not offer the chosen rate; "" otherwise.
std::string RatesOfferedInstead(const ELM327_Info& device) {
  const auto families = FamilyRegistry();
  const int32_t number = device.t_select_Vender();
  if (number < 1 || static_cast<size_t>(number) > families.size()) return "";
  const FamilyEntry& family = *families[static_cast<size_t>(number - 1)];
  if (family.offers_rate(device.t_bitRate())) return "";
  std::vector<BitRate> rates(kBitRates.begin(), kBitRates.end());
  std::sort(rates.begin(), rates.end(), [](const BitRate& a, const BitRate& b) {
    return a.bits_per_second > b.bits_per_second;
  });
  std::string list;
  for (const BitRate& rate : rates) {
    if (!family.offers_rate(rate.index)) continue;
    const std::string label = rate.label;
    list += (list.empty() ? "" : ", ") + label.substr(0, label.find(' '));
  }
  return std::string(family.name) + " devices take " + list + " (--rate)";
}

// One run: the window's start-up without its windows, then the device list
// or one connection. It owns what the window owns for its run.
class SendSession final : private DiscoveryProgress {
 public:
  SendSession(const SendOptions& options, SendPorts ports) : options_(options), ports_(ports) {}

  int Run();

 private:
  // Nothing is shown of the search but its list.
  void Progress(double) override {}
  void Judging() override {}
  void AddEntry(const std::string& text) override { entries_.push_back(text); }

  // 0 once the devices are listed, else the exit status.
  int StartUp();
  bool LoadClock();
  // Opens the log to play; false after its message when it cannot be.
  bool TakeLog();
  int List();
  int Send();
  int Connect();
  int Outcome(const RunFigures& figures);
  void StopMessage(const platform::SourceText& first_line);

  const SendOptions& options_;
  SendPorts ports_;
  platform::BuiltInEnglish english_;
  platform::ScopedTextLookup in_english_{english_};
  TerminalMessages messages_{ports_.err, kProgram};
  // Caught from the start, so that a device is never left open by them.
  platform::TerminationSignals signals_{{SIGINT, SIGTERM, SIGHUP, SIGPIPE}, false};

  ELM327_Info device;
  FamilyObjects objects_;
  FamilySet families_{device, objects_, ports_.socketcan};
  CAN_SendDB Tx_CANDATA;
  RowRules rules_;
  int32_t RxFlag = 0;
  std::unique_ptr<ZqtClock> own_clock_;
  Clock* clock_ = nullptr;
  std::optional<RunRecord> record_;
  platform::SleepingPump sleeper_;
  std::optional<StopPump> pump_;
  ReplaySlot replay_;
  std::vector<std::string> entries_;
};

int SendSession::Run() {
  if (const int status = StartUp()) return status;
  if (const int signal = signals_.Caught()) return send_exit::kSignalBase + signal;
  return options_.list ? List() : Send();
}

int SendSession::StartUp() {
  Reset_Shared_Objects(families_, Tx_CANDATA);
  if (!LoadClock()) return send_exit::kNoDevice;
  const int32_t mask =
      Check_DriverLibraries(families_, messages_, device.Application_title(), ports_.err, kProgram);
  if (mask < 1) return send_exit::kNoDevice;
  // The window detects its workbook engine late; the rows need it here.
  Setting_import_export::Check_Excel_Install(device);
  if (options_.list) {
    // Only for its bit rate, which the adapters' version probe opens them at.
    FileSaveSystem::Read_SettingFile(device, Tx_CANDATA);
  } else if (!TakeRows(device, Tx_CANDATA, options_, messages_) ||
             !TakeRules(options_.rules, rules_, messages_)) {
    return send_exit::kRowsUnreadable;
  }
  if (options_.replay && !TakeLog()) return send_exit::kLogUnreadable;
  if (options_.bit_rate) device.set_t_bitRate(*options_.bit_rate);
  if (!Find_Devices(mask, families_, *pump_, *this)) {
    StopMessage(startup_text::kNoDevice);
    return send_exit::kNoDevice;
  }
  return 0;
}

bool SendSession::LoadClock() {
  clock_ = ports_.clock;
  if (clock_ == nullptr && (own_clock_ = ZqtClock::Load(platform::ProgramFolder()))) {
    clock_ = own_clock_.get();
  }
  if (clock_ == nullptr) {
    messages_.Show(ClockLibraryMissingMessage(), device.Application_title(),
                   platform::MessageIcon::Critical);
    return false;
  }
  record_.emplace(*clock_);
  // The program's own clock runs in real time, so waits may sleep; a clock
  // that a caller hands in may not.
  pump_.emplace(RxFlag, signals_, *record_, options_.seconds,
                ports_.clock == nullptr ? &sleeper_ : nullptr);
  return true;
}

bool SendSession::TakeLog() {
  LogOpening log = OpenRecordedLog(*options_.replay);
  if (!log.frames) {
    messages_.Show(log.error, device.Application_title(), platform::MessageIcon::Critical);
    return false;
  }
  replay_.Load(std::make_unique<ReplaySchedule>(std::move(log.frames), options_.replaying));
  pump_->EndWithReplay(replay_);
  // The log goes out alone, unless rows were asked for as well.
  if (!options_.rows) SwitchPeriodicRowsOff(Tx_CANDATA);
  return true;
}

void SendSession::StopMessage(const platform::SourceText& first_line) {
  messages_.Show(StartupStopMessage(first_line), device.Application_title(),
                 platform::MessageIcon::Critical);
}

int SendSession::List() {
  for (size_t n = 0; n < entries_.size(); ++n) {
    const auto position = static_cast<int32_t>(n + 1);
    device.set_t_CmbBOX_device_SelectNo(position);
    const auto info = Show_SelectedDevice_Info(families_);
    ports_.out << position << '\t' << entries_[n] << '\t' << info.TB_ODB_Hard_Version.value_or("")
               << '\n';
  }
  ports_.out.flush();
  return send_exit::kDone;
}

int SendSession::Send() {
  const auto position = ChosenPosition(options_.device, entries_);
  if (!position) {
    messages_.Say("--device " + options_.device.value_or("1") + " names none of the " +
                  std::to_string(entries_.size()) + " listed devices (telpod-send --list)");
    return send_exit::kNoDevice;
  }
  device.set_t_CmbBOX_device_SelectNo(*position);
  if (Show_SelectedDevice_Info(families_).result < 0) {
    StopMessage(connection_message::kDeviceNotWorking);
    return send_exit::kDeviceFailed;
  }
  // A log played alone sends no row.
  if (!options_.replay || options_.rows) {
    NoteRowsNotSent(Tx_CANDATA, messages_);
    for (const auto& line : BusLoadEstimateLines(Tx_CANDATA, device.t_bitRate())) {
      messages_.Say(line);
    }
  }
  return Connect();
}

int SendSession::Connect() {
  CandumpPrinter printer(ports_.out, DeviceInterfaceName(families_), options_.quiet);
  FormBG form(
      RxFlag, *clock_, *record_, messages_, *pump_, families_.drivers,
      {.writes = &printer, .rules = &rules_, .replay = options_.replay ? &replay_ : nullptr});
  Tx_CANDATA.Timer_Clear();
  const auto status = form.Open_ChosenDevice(families_, Tx_CANDATA);
  if (status && !status->empty()) messages_.Say(*status);
  ports_.out.flush();
  RunFigures figures{printer.frames_written(), record_->failed_writes(), record_->Seconds(),
                     record_->worst_bus_state()};
  if (record_->started()) {
    figures.achieved_bus_load =
        AchievedBusLoadPercent(record_->taken_bits(), record_->Seconds(), device.t_bitRate());
  }
  return Outcome(figures);
}

// The summary, and the status it ends with.
int SendSession::Outcome(const RunFigures& figures) {
  if (!record_->started()) {
    if (const std::string rates = RatesOfferedInstead(device); !rates.empty()) {
      messages_.Say(rates);
    }
  }
  messages_.Say(SummaryLine(figures));
  if (!record_->started()) return send_exit::kDeviceFailed;
  if (ReplaySchedule* played = replay_.schedule()) {
    // A signal or --seconds ended the run before the log did.
    if (!played->Finished()) played->Stop();
    for (const std::string& line : ReplaySummaryLines(played->Summary())) messages_.Say(line);
  }
  if (RunFailedOnTheBus(figures) && !options_.allow_failed_writes) {
    return send_exit::kFramesRefused;
  }
  return send_exit::kDone;
}

}  // namespace

int TelpodSend(const std::vector<std::string>& arguments, SendPorts ports) {
  try {
    const ParsedOptions parsed = ParseSendOptions(arguments);
    if (parsed.options.help || parsed.options.version) {
      (parsed.options.help ? PrintSendHelp : PrintSendVersion)(ports.out);
      return send_exit::kDone;
    }
    if (!parsed.error.empty()) {
      TerminalMessages messages(ports.err, kProgram);
      messages.Say(parsed.error);
      messages.Say("telpod-send --help lists the options");
      return send_exit::kUsage;
    }
    SendSession session(parsed.options, ports);
    return session.Run();
  } catch (const std::exception& e) {
    ports.err << kProgram << ": unexpected error: " << e.what() << '\n';
  } catch (...) {
    ports.err << kProgram << ": unexpected error\n";
  }
  return send_exit::kUnexpected;
}

}  // namespace telpod
