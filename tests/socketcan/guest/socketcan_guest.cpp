// The program the guest test runs inside a qemu-booted Debian kernel:
//   socketcan_guest send <interface> <warm-up interface> <seconds> <folder of libzqt100.so>
//     finds the interfaces through the family, runs a short connection on
//     the warm-up one and one of <seconds> on the other with the guest rows,
//     then checks that an unprivileged user is refused.
//   socketcan_guest check <candump -L recording> <seconds>
//     checks the recording and prints the verdict line the host looks for.
#include <unistd.h>

#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "devices/socketcan/linux_socketcan_system.h"
#include "devices/socketcan/socketcan_connection.h"
#include "devices/socketcan/socketcan_discovery.h"
#include "guest/guest_rows.h"
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

class PrintingView : public ConnectionView {
 public:
  void set_TB_Status(const std::string& text) override {
    std::cout << "TB_Status " << text << "\n";
  }
  void set_TB_Protocol(const std::string& text) override {
    std::cout << "TB_Protocol " << text << "\n";
  }
};

class PrintingMessages : public platform::MessageBoxes {
 public:
  void Show(const std::string& text, const std::string&, platform::MessageIcon) override {
    std::cout << "message box: " << text << "\n";
    ++shown;
  }
  int shown = 0;
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
    for (auto& p : presses_) {
      if (!p.done && elapsed >= p.at) {
        SendDB_.set_CAN_SendOperation(p.row, 1);
        p.done = true;
      }
    }
    if (elapsed >= run_ms_) RxFlag_ = 0;
  }
  long passes = 0;

 private:
  struct Press {
    double at;
    int16_t row;
    bool done = false;
  };
  Clock& clock_;
  CAN_SendDB& SendDB_;
  int32_t& RxFlag_;
  const double start_;
  const double run_ms_;
  std::vector<Press> presses_;
};

bool Fail(const std::string& why) {
  std::cout << kVerdict << " FAIL " << why << std::endl;
  return false;
}

// Runs one connection on the chosen catalogue item for `run_ms`.
bool Connect(CAN_DB_SocketCAN& db, SocketCanSystem& kernel, Clock& clock, double run_ms) {
  ELM327_Info device;
  device.set_t_bitRate(2);
  CAN_SendDB SendDB;
  LoadGuestRows(SendDB);
  int32_t RxFlag = 1;
  PrintingView view;
  PrintingMessages messages;
  ScheduledPump pump(clock, SendDB, RxFlag, run_ms);
  ConnectionContext ctx{device, SendDB, RxFlag, clock, view, messages, pump};
  const double started = clock.Now();
  Open_SocketCAN(ctx, db, kernel);
  std::cout << "connection: " << clock.Now() - started << " ms, " << pump.passes << " passes\n";
  return messages.shown == 0;
}

bool Select(CAN_DB_SocketCAN& db, const std::string& interface) {
  db.set_SocketCAN_SelectNo(0);
  for (int16_t i = 1; i <= db.SocketCAN_FindCount(); ++i) {
    if (db.SocketCAN_IfName(i) == interface) db.set_SocketCAN_SelectNo(i);
  }
  return db.SocketCAN_SelectNo() != 0;
}

bool Send(const std::string& interface, const std::string& warm_up, double seconds,
          const std::string& folder) {
  LinuxSocketCanSystem kernel;
  if (Check_SocketCAN_Driver(kernel) != kSocketCanDriverBit) return Fail("no raw CAN sockets");
  std::string error;
  auto clock = ZqtClock::Load(folder, &error);
  if (!clock) return Fail("clock: " + error);

  ELM327_Info device;
  CAN_DB_SocketCAN db;
  CAN_SendDB unused;
  int32_t RxFlag = 0;
  ScheduledPump discovery_pump(*clock, unused, RxFlag, 0);
  Find_SocketCAN_Interfaces(device, db, kernel, discovery_pump);
  for (int16_t i = 1; i <= db.SocketCAN_FindCount(); ++i) {
    std::cout << "device list: " << SocketCAN_EntryText(db, i) << "\n";
  }
  if (!Select(db, interface)) return Fail(interface + " not found");
  const std::string info = SocketCAN_InfoLine(kernel, db);
  std::cout << "information line: " << info << "\n";
  if (info != "SocketCAN " + interface + " vcan") return Fail("information line");

  // The emulator translates each code path on its first run, which delays
  // the first frames by milliseconds: a short run on an unrecorded
  // interface first keeps that out of the recording's gaps.
  if (!Select(db, warm_up)) return Fail(warm_up + " not found");
  if (!Connect(db, kernel, *clock, 500)) return Fail("the warm-up connection showed a message");
  Select(db, interface);
  if (!Connect(db, kernel, *clock, seconds * 1000.0)) {
    return Fail("the connection showed a message");
  }

  // The permission path on a real kernel: an unprivileged user may not stop
  // the interface, and libsocketcan's refusal must read as such.
  if (::setuid(65534) != 0) return Fail("setuid");
  if (kernel.StopController(interface) != ControlResult::NotPermitted) {
    return Fail("unprivileged stop was not refused for want of permission");
  }
  std::cout << "unprivileged stop: refused (EPERM)\n";
  return true;
}

bool Check(const std::string& path, double seconds) {
  std::ifstream file(path);
  if (!file) return Fail("no recording " + path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(file, line);) lines.push_back(line);
  const auto faults = CheckRecording(lines, seconds * 1000.0, kToleranceMs, std::cout);
  for (const auto& fault : faults) std::cout << "fault: " << fault << "\n";
  if (!faults.empty()) return Fail(std::to_string(faults.size()) + " faults");
  std::cout << kVerdict << " PASS " << lines.size() << " frames" << std::endl;
  return true;
}

}  // namespace
}  // namespace telpod::guest

int main(int argc, char** argv) {
  using namespace telpod::guest;
  const std::vector<std::string> args(argv + 1, argv + argc);
  try {
    if (args.size() == 5 && args[0] == "send") {
      return Send(args[1], args[2], std::stod(args[3]), args[4]) ? 0 : 1;
    }
    if (args.size() == 3 && args[0] == "check") return Check(args[1], std::stod(args[2])) ? 0 : 1;
  } catch (const std::exception& e) {
    return Fail(e.what()) ? 0 : 1;
  }
  std::cerr
      << "usage: socketcan_guest send <interface> <warm-up interface> <seconds> <clock folder>\n"
         "       socketcan_guest check <recording> <seconds>\n";
  return 2;
}
