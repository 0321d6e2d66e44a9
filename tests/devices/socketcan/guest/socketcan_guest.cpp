// The program guest/init runs in the kernel scripts/test-socketcan boots, one
// mode per call (init says what each run shows):
//   virtual <interface> <warm-up interface> <seconds> <clock folder>
//   prepare <interface> <bit/s>: sets and starts the recording controller
//   controller <interface> <seconds> <clock folder>
//   shared <interface> <peer> <clock folder>: prints its own verdict line
//   check <candump -L recording> <seconds> gaps|frames: the verdict line
#include <unistd.h>

#include <fstream>
#include <functional>
#include <iostream>
#include <limits>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "devices/form_bg.h"
#include "devices/socketcan/linux_socketcan_system.h"
#include "devices/socketcan/socketcan_connection.h"
#include "devices/socketcan/socketcan_discovery.h"
#include "guest/recording_check.h"
#include "send/zqt_clock.h"

namespace telpod::guest {
namespace {

constexpr const char* kVerdict = "TELPOD-SOCKETCAN-GUEST:";
// The kernel stamps a frame a little after the loop read its clock; on an
// emulated CPU an interrupt or a host hiccup in between stretches that, by
// up to 7 ms seen on a loaded machine, and the following gap lacks as much.
// A tenth of the shortest period still fails any burst or early frame.
constexpr double kToleranceMs = 10.0;

bool Fail(const std::string& why) {
  std::cout << kVerdict << " FAIL " << why << std::endl;
  return false;
}

// The window's status and message boxes, printed; what a connection showed,
// and the status the window would show when its loop ends.
class Printer : public ConnectionView, public platform::MessageBoxes {
 public:
  void set_TB_Status(const std::string& text) override { Print("TB_Status " + text); }
  void set_TB_Protocol(const std::string& text) override { Print("TB_Protocol " + text); }
  void LoopStarted(LiveConnection&) override {}
  void LoopEnded(LiveConnection& live) override {
    final_status = live.StatusText();
    Print("TB_Status at the loop's end " + final_status);
  }
  void Show(const std::string& text, const std::string&, platform::MessageIcon) override {
    Print("message box: " + text);
    shown.push_back(text);
  }
  static void Print(const std::string& line) { std::cout << line << "\n"; }
  bool ShowedNothing() const { return shown.empty() || Fail("the connection showed a message"); }
  std::vector<std::string> shown;
  std::string final_status;
};

// Stands in for the window: presses the rows' Send buttons at their times
// and Disconnect when the run is over.
class ScheduledPump : public platform::EventPump {
 public:
  ScheduledPump(Clock& clock, CAN_SendDB& SendDB, int32_t& RxFlag, double run_ms)
      : clock_(clock), SendDB_(SendDB), RxFlag_(RxFlag), start_(clock.Now()), run_ms_(run_ms) {
    for (const GuestRow& r : GuestRows()) {
      for (double at : r.one_shot_at) presses_.push_back({at, r.row});
    }
  }
  void DoEvents() override {
    ++passes;
    const double elapsed = clock_.Now() - start_;
    for (auto& [at, row] : presses_) {
      if (elapsed < at) continue;
      SendDB_.set_CAN_SendOperation(row, 1);
      at = std::numeric_limits<double>::infinity();  // pressed once
    }
    if (elapsed >= run_ms_) RxFlag_ = 0;
  }
  long passes = 0;

 private:
  Clock& clock_;
  CAN_SendDB& SendDB_;
  int32_t& RxFlag_;
  const double start_;
  const double run_ms_;
  std::vector<std::pair<double, int16_t>> presses_;
};

// The family as the main window uses it: the driver check, discovery, the
// device list, the selection and its information line, connections.
class Guest {
 public:
  // Starts on `interface`, whose information line must read `info`.
  bool Start(const std::string& clock_folder, const std::string& interface,
             const std::string& info) {
    if (!Check_SocketCAN_Driver(kernel_)) {
      return Fail("no raw CAN sockets");
    }
    std::string error;
    clock_ = ZqtClock::Load(clock_folder, &error);
    if (!clock_) return Fail("clock: " + error);
    CAN_SendDB unused;
    int32_t RxFlag = 0;
    ScheduledPump pump(*clock_, unused, RxFlag, 0);
    Find_SocketCAN_Interfaces(db_, kernel_, pump);
    for (int16_t i = 1; i <= db_.SocketCAN_FindCount(); ++i) {
      std::cout << "device list: " << SocketCAN_EntryText(db_, i) << "\n";
    }
    return Select(interface) && InfoLineIs(info);
  }

  bool Select(const std::string& interface) {
    db_.set_SocketCAN_SelectNo(0);
    for (int16_t i = 1; i <= db_.SocketCAN_FindCount(); ++i) {
      if (db_.SocketCAN_IfName(i) == interface) db_.set_SocketCAN_SelectNo(i);
    }
    return db_.SocketCAN_SelectNo() != 0 || Fail(interface + " not in the device list");
  }

  bool InfoLineIs(const std::string& expected) {
    const std::string info = SocketCAN_InfoLine(kernel_, db_);
    std::cout << "information line: " << info << "\n";
    return info == expected || Fail("information line, not " + expected);
  }

  // One connection on the selection at `t_bitRate` for `run_ms` with the
  // rows `load` puts into the table.
  Printer Connect(int32_t t_bitRate, double run_ms,
                  const std::function<void(CAN_SendDB&)>& load = LoadGuestRows) {
    ELM327_Info device;
    device.set_t_bitRate(t_bitRate);
    CAN_SendDB SendDB;
    load(SendDB);
    int32_t RxFlag = 1;
    Printer window;
    ScheduledPump pump(*clock_, SendDB, RxFlag, run_ms);
    DriverSet no_vendor_drivers;
    FormBG form(RxFlag, *clock_, window, window, pump, no_vendor_drivers);
    const double started = clock_->Now();
    form.Open_SocketCAN(device, db_, kernel_, SendDB);
    std::cout << "connection: " << clock_->Now() - started << " ms, " << pump.passes << " passes\n";
    return window;
  }

 private:
  LinuxSocketCanSystem kernel_;
  std::unique_ptr<ZqtClock> clock_;
  CAN_DB_SocketCAN db_;
};

// The rows' frames the kernel refuses (nine bytes) are failed writes.
bool CountsRefusedFrames(const Printer& run) {
  return run.ShowedNothing() && (run.final_status.rfind("通信中（送信エラー ", 0) == 0 ||
                                 Fail("status " + run.final_status));
}

// A vcan interface takes any rate.
bool Virtual(const std::string& interface, const std::string& warm_up, double seconds,
             const std::string& folder) {
  Guest guest;
  if (!guest.Start(folder, interface, "SocketCAN " + interface + " vcan")) return false;
  // The emulator translates each code path on its first run, which delays
  // the first frames by milliseconds: a short run on an unrecorded
  // interface first keeps that out of the recording's gaps.
  if (!guest.Select(warm_up) || !guest.Connect(0, 500).shown.empty()) return Fail("warm-up");
  guest.Select(interface);
  return CountsRefusedFrames(guest.Connect(8, seconds * 1000.0));
}

bool Prepare(const std::string& interface, uint32_t bits_per_second) {
  LinuxSocketCanSystem kernel;
  return (kernel.SetBitRate(interface, bits_per_second) == ControlResult::Ok &&
          kernel.StartController(interface) == ControlResult::Ok) ||
         Fail("could not start " + interface);
}

// A controller that is down is set to the rate, brought up for the
// connection and down again after it.
bool Controller(const std::string& interface, double seconds, const std::string& folder) {
  Guest guest;
  const std::string name = "SocketCAN " + interface + " kvaser_pci";
  return guest.Start(folder, interface, name + " STOPPED") &&
         CountsRefusedFrames(guest.Connect(3, seconds * 1000.0)) &&
         guest.InfoLineIs(name + " STOPPED 250000 bit/s");
}

// Eight frames the kernel takes, every row at every pass: only a full
// queue can refuse them.
void LoadFlood(CAN_SendDB& SendDB) {
  for (int16_t i = 0; i < CAN_SendDB::kRows; ++i) {
    SendDB.set_CAN_ID(i, 0x100 + i);
    SendDB.set_CAN_DLC(i, 8);
    SendDB.set_CAN_SendCycleOperation(i, 1);
    SendDB.set_CAN_SendCycleTime(i, 0.0);
  }
  SendDB.Timer_Clear();
}

// A controller somebody else brought up, alone on the bus since its peer is
// down: it is used only at its own rate and left up, and the status counts
// the writes the kernel could not queue. Taken down, it cannot be set up
// without privileges.
bool Shared(const std::string& interface, const std::string& peer, const std::string& folder) {
  LinuxSocketCanSystem kernel;
  if (kernel.StopController(peer) != ControlResult::Ok) return Fail("could not stop " + peer);
  const std::string name = "SocketCAN " + interface + " kvaser_pci";
  const std::string up = name + " ERROR-ACTIVE 250000 bit/s";
  Guest guest;
  if (!Prepare(interface, 250000) || !guest.Start(folder, interface, up)) return false;

  const std::string commands = "ip link set " + interface +
                               " type can bitrate 500000\r\nip link set " + interface + " up\r\n";
  auto run = guest.Connect(2, 500);
  if (run.shown.size() != 1 ||
      run.shown[0].find(" は 250000 bit/s で動作しています。") == std::string::npos ||
      run.shown[0].find("ip link set " + interface + " down\r\n" + commands) == std::string::npos) {
    return Fail("no single message naming the rate and the ip commands");
  }
  if (!guest.InfoLineIs(up)) return false;

  // qemu's SJA1000 acknowledges every frame itself, so the lone controller
  // never turns error passive here, and its writes fail only when the loop
  // outruns its queue, which depends on which CPU takes its interrupt.
  run = guest.Connect(3, 2000, LoadFlood);
  static const std::regex kRunning("通信中(（送信エラー [1-9][0-9]*）)?");
  if (!run.ShowedNothing() || !guest.InfoLineIs(up)) return false;
  if (!std::regex_match(run.final_status, kRunning)) return Fail("status " + run.final_status);

  if (kernel.StopController(interface) != ControlResult::Ok) return Fail("could not stop it");
  if (::setuid(65534) != 0) return Fail("setuid");
  run = guest.Connect(2, 500);
  if (run.shown.size() != 1 || run.shown[0].find(commands) == std::string::npos ||
      run.shown[0].find(" down") != std::string::npos) {
    return Fail("no single message naming the ip commands");
  }
  if (!guest.InfoLineIs(name + " STOPPED 250000 bit/s")) return false;
  std::cout << kVerdict << " PASS " << interface << " left as it was found" << std::endl;
  return true;
}

bool Check(const std::string& path, double seconds, const std::string& what) {
  std::ifstream file(path);  // none: no frames, a fault of every row
  std::vector<std::string> lines;
  for (std::string line; std::getline(file, line);) lines.push_back(line);
  const auto tolerance = what == "gaps" ? std::optional<double>(kToleranceMs) : std::nullopt;
  const auto faults = CheckRecording(lines, seconds * 1000.0, tolerance, std::cout);
  for (const auto& fault : faults) std::cout << "fault: " << fault << "\n";
  if (!faults.empty()) return Fail(std::to_string(faults.size()) + " faults in " + path);
  std::cout << kVerdict << " PASS " << lines.size() << " frames in " << path << std::endl;
  return true;
}

bool Run(const std::vector<std::string>& a) {
  if (a.size() == 5 && a[0] == "virtual") return Virtual(a[1], a[2], std::stod(a[3]), a[4]);
  if (a.size() == 3 && a[0] == "prepare") return Prepare(a[1], std::stoul(a[2]));
  if (a.size() == 4 && a[0] == "controller") return Controller(a[1], std::stod(a[2]), a[3]);
  if (a.size() == 4 && a[0] == "shared") return Shared(a[1], a[2], a[3]);
  if (a.size() == 4 && a[0] == "check") return Check(a[1], std::stod(a[2]), a[3]);
  return Fail("usage: virtual|prepare|controller|shared|check, see socketcan_guest.cpp");
}

}  // namespace
}  // namespace telpod::guest

int main(int argc, char** argv) {
  try {
    return telpod::guest::Run(std::vector<std::string>(argv + 1, argv + argc)) ? 0 : 1;
  } catch (const std::exception& e) {
    telpod::guest::Fail(e.what());
    return 1;
  }
}
