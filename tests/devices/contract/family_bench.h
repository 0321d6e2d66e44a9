#pragma once

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "devices/family_set.h"
#include "model/can_frame.h"
#include "support/fake_socketcan_system.h"
#include "support/simulated_program_folder.h"

namespace telpod::test {

// The situations the contract puts a family in: two sound devices, or a
// first device whose every write fails, refused outright, on a bus nobody
// acknowledges, or off the bus.
enum class Situation { TwoDevices, RefusedWrites, ErrorPassive, BusOff };

// What the contract expects of one family.
struct Expected {
  const char* name;  // its name in the family table
  std::vector<std::string> entries;
  std::vector<std::string> info_lines;
  // The rate each bit-rate index reaches the device with; empty for the
  // rates the family does not offer.
  std::array<std::string, 9> rates;
  // The calls after the closing status.
  std::vector<std::string> close_calls;
  bool reports_bus_state;
  // Whether its frame record has a remote flag.
  bool sends_remote_frames = true;
};

// One family's simulator (or the scripted kernel) in a program folder of
// the test's own: what the contract suite runs a family on.
class FamilyBench : public SimulatedProgramFolder {
 public:
  explicit FamilyBench(Expected expected) : expected(std::move(expected)) {
    kernel.raw_sockets = false;
  }
  virtual ~FamilyBench() = default;

  // The devices of `situation`, everything before forgotten.
  virtual void Prepare(Situation situation) = 0;
  // The device calls so far, one text each.
  virtual std::vector<std::string> Calls() const = 0;
  // The frames on the bus since Prepare, as FrameText writes them.
  virtual std::vector<std::string> BusFrames() const = 0;
  // The rate of the last open, as the device took it.
  virtual std::string RateOnDevice() const = 0;
  // Points the program's family at the bench, where the family cannot find
  // it by itself.
  virtual void Attach(FamilySet& /*families*/) {}

  const Expected expected;
  // A kernel without raw CAN sockets, unless the family is SocketCAN.
  FakeSocketCanSystem kernel;
};

// How the contract gets a family's bench, printed as the family's name.
struct BenchMaker {
  const char* family;
  std::unique_ptr<FamilyBench> (*make)();
  friend std::ostream& operator<<(std::ostream& out, const BenchMaker& m) {
    return out << m.family;
  }
};

template <typename Bench>
BenchMaker MakerOf(const char* family) {
  return {family, [] { return std::unique_ptr<FamilyBench>(std::make_unique<Bench>()); }};
}

// As candump writes a frame: "7DF#111213", an extended identifier with 8
// digits, a remote frame as "123#R4".
inline std::string FrameText(uint32_t id, bool extended, bool remote, uint8_t dlc,
                             const uint8_t* data) {
  CanFrame frame{.id = id, .extended = extended, .remote = remote, .dlc = dlc};
  std::copy_n(data, CanFrame::kMaxData, frame.data.begin());
  return CandumpText(frame);
}

// A family on its simulated library: two device lines, the first one
// followed by what each failing situation adds (refused, error passive, bus off).
class SimulatorBench : public FamilyBench {
 public:
  SimulatorBench(const char* file, std::string first, std::string second,
                 std::array<std::string, 3> failing, Expected expected)
      : FamilyBench(std::move(expected)),
        sim(InstallDriver(file, "")),
        first_(std::move(first)),
        second_(std::move(second)),
        failing_(std::move(failing)) {}

  void Prepare(Situation situation) override {
    const auto n = static_cast<size_t>(situation);
    sim.Configure(first_ + (n == 0 ? "" : " " + failing_[n - 1]) + "\n" + second_ + "\n");
  }
  std::vector<std::string> Calls() const override { return sim.CallLog(); }
  std::vector<std::string> BusFrames() const override {
    std::vector<std::string> frames;
    for (const auto& f : sim.Frames())
      frames.push_back(FrameText(f.id, f.extended != 0, f.remote != 0, f.dlc, f.data));
    return frames;
  }
  // The argument at `position` (from 0) of the last call starting `call(`.
  std::string Argument(const std::string& call, size_t position) const {
    const auto calls = sim.CallsStartingWith(call + "(");
    if (calls.empty()) return "";
    std::string arguments = calls.back().substr(call.size() + 1);
    arguments.pop_back();
    for (size_t n = 0; n < position; ++n) arguments.erase(0, arguments.find(',') + 1);
    return arguments.substr(0, arguments.find(','));
  }

  SimControl& sim;

 private:
  std::string first_;
  std::string second_;
  std::array<std::string, 3> failing_;
};

}  // namespace telpod::test
