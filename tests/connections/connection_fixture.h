#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "devices/sim_control.h"
#include "platform/driver_folders.h"
#include "send/form_bg.h"
#include "support/engine_fakes.h"

namespace telpod::test {

// Status boxes that note, with each text, how many calls the simulated
// driver had seen by then, so tests see texts and device calls interleaved.
class SnapshotView : public ConnectionView {
 public:
  void set_TB_Status(const std::string& text) override { Note("status:" + text); }
  void set_TB_Protocol(const std::string& text) override { Note("protocol:" + text); }
  SimControl* sim = nullptr;
  std::vector<std::string> history;  // "status:通信中@3"

 private:
  void Note(const std::string& what) {
    history.push_back(what + "@" + std::to_string(sim ? sim->CallLog().size() : 0));
  }
};

// FormBG over the three simulated drivers, the window replaced by recorders.
class ConnectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(drivers.canusb && drivers.ifcan && drivers.canlib);
    usb.Reset();
    boards.Reset();
    kvaser.Reset();
  }

  // Row i sends `id` with data bytes first, first + 1, ... first + 7.
  void SetRow(int16_t i, int32_t id, bool extended, uint8_t dlc, uint8_t first) {
    db.set_CAN_ID(i, id);
    db.set_CAN_Send29(i, extended ? 1 : 0);
    db.set_CAN_DLC(i, dlc);
    for (int n = 1; n <= 8; ++n) db.set_CAN_Data(n, i, static_cast<uint8_t>(first + n - 1));
  }
  void OneShot(int16_t i) { db.set_CAN_SendOperation(i, 1); }
  // Row 0: 11-bit 0x7DF, DLC 3, data 11..18; row 1: 29-bit 0x18DAF110, DLC
  // 8, data A1..A8; both sent once in the first pass, then Disconnect.
  void SendElevenAndTwentyNineBitRows() {
    SetRow(0, 0x7DF, false, 3, 0x11);
    SetRow(1, 0x18DAF110, true, 8, 0xA1);
    OneShot(0);
    OneShot(1);
    DisconnectAfter(1);
  }
  void Periodic(int16_t i, double period) {
    db.set_CAN_SendCycleOperation(i, 1);
    db.set_CAN_SendCycleTime(i, period);
    db.set_CAN_SendTime(i, period);
  }
  // Disconnect inside the n-th pass's event processing.
  void DisconnectAfter(int passes) {
    pump.passes = 0;
    pump.on_pass = [this, passes](int n) {
      if (n >= passes) RxFlag = 0;
    };
  }
  void Connect() { RxFlag = 1; }

  // Runs a connection over periodic rows on a clock that advances with
  // every reading, and notes after each pass how many writes `sim` has seen.
  std::vector<long long> WritesPerPass(const std::function<void()>& connect, SimControl& sim,
                                       const char* write_entry) {
    db.Param_ALL_Clear();
    for (int16_t i = 0; i < 8; ++i) {
      SetRow(i, 0x100 + i, i % 2 == 1, 8, 0);
      Periodic(i, 1.0 + i);
    }
    clock.now = 1000.0;
    clock.step = 0.125;  // 1 ms per pass of eight readings
    std::vector<long long> writes;
    pump.passes = 0;
    pump.on_pass = [&](int n) {
      writes.push_back(sim.Calls(write_entry));
      if (n >= 40) RxFlag = 0;
    };
    Connect();
    connect();
    return writes;
  }

  DriverSet drivers = LoadSimulatedDrivers();
  SimControl usb{platform::kCanusbLibraryFile};
  SimControl boards{platform::kIfCanLibraryFile};
  SimControl kvaser{platform::kCanlibLibraryFile};

  ELM327_Info device;
  CAN_SendDB db;
  int32_t RxFlag = 1;
  ScriptedClock clock;
  SnapshotView view;
  RecordingMessages messages;
  ScriptedPump pump;
  FormBG form{RxFlag, clock, view, messages, pump, drivers};
};

inline std::vector<uint8_t> Bytes(std::initializer_list<int> values) {
  std::vector<uint8_t> bytes;
  for (int v : values) bytes.push_back(static_cast<uint8_t>(v));
  return bytes;
}

inline std::vector<uint8_t> Raw(const cansim_frame& frame) {
  return std::vector<uint8_t>(frame.raw, frame.raw + frame.raw_size);
}

// The calls of `sim` from position `from` of its call log on.
inline std::vector<std::string> CallsFrom(const SimControl& sim, size_t from) {
  const auto log = sim.CallLog();
  return std::vector<std::string>(log.begin() + static_cast<long>(std::min(from, log.size())),
                                  log.end());
}

inline const char* kUnsupportedRateMessage =
    "非対応の通信速度が選択されています。\r\n接続を終了します。";

}  // namespace telpod::test
