#pragma once

#include <memory>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "devices/contract/family_bench.h"
#include "devices/device_discovery.h"
#include "devices/device_selection.h"
#include "devices/driver_check.h"
#include "devices/form_bg.h"
#include "settings/logs/recorded_log.h"
#include "support/engine_fakes.h"

namespace telpod::test {

// A family on its bench, run as the program runs it: the driver check, the
// search and the device list, a choice, Connect through FormBG's dispatch.
// The window is replaced by recorders, which note each text with the number
// of device calls made before it, so that the journal reads calls and texts
// in one order.
class FamilyRun : private ConnectionView, private DiscoveryProgress, private WriteObserver {
  FamilyBench& bench_;

 public:
  explicit FamilyRun(FamilyBench& bench) : bench_(bench) { bench_.Attach(families); }

  // Start-up on the bench's devices, the first entry chosen; the mask.
  int32_t StartUp() {
    Reset_Shared_Objects(families, Tx_CANDATA);
    entries.clear();
    std::ostringstream notes;
    const int32_t mask = Check_DriverLibraries(families, messages, "TELPOD Ver1.11", notes, "test");
    if (mask > 0 && Find_Devices(mask, families, pump, *this)) Choose(1);
    return mask;
  }
  SelectedDeviceInfo Choose(int32_t position) {
    device.set_t_CmbBOX_device_SelectNo(position);
    return Show_SelectedDevice_Info(families);
  }

  // One connection over the chosen device at `t_bitRate`, row 0 (11-bit
  // 0x7DF, DLC 3, 11 12 13) and row 1 (29-bit 0x18DAF110, DLC 8, A1..A8)
  // sent once, Disconnect in the first pass. The text the status box keeps.
  std::string Connect(int32_t t_bitRate = 2) {
    const std::tuple<int16_t, int32_t, uint8_t, uint8_t> rows[] = {{0, 0x7DF, 3, 0x11},
                                                                   {1, 0x18DAF110, 8, 0xA1}};
    for (const auto& [i, id, dlc, first] : rows) {
      Tx_CANDATA.set_CAN_ID(i, id);
      Tx_CANDATA.set_CAN_Send29(i, i);
      Tx_CANDATA.set_CAN_DLC(i, dlc);
      for (int n = 1; n <= 8; ++n)
        Tx_CANDATA.set_CAN_Data(n, i, static_cast<uint8_t>(first + n - 1));
      Tx_CANDATA.set_CAN_SendOperation(i, 1);
    }
    device.set_t_bitRate(t_bitRate);
    first_call_ = bench_.Calls().size();
    texts_.clear();
    messages.shown.clear();
    loop_started = false;
    final_status.clear();
    pump.on_pass = [this](int) { RxFlag = 0; };
    FormBG form(RxFlag, clock, *this, messages, pump, families.drivers);
    return form.Open_ChosenDevice(families, Tx_CANDATA).value_or("no family chosen");
  }
  // A connection over the chosen device that plays the candump log `text`
  // and nothing else, on the scripted clock (each reading 10 us on, a wait
  // ending at its deadline), until the log has been played. Each frame
  // written is noted with the clock's time in `written`; the replay's
  // summary.
  ReplaySummary Replay(const std::string& text) {
    ReplaySlot slot;
    LogOpening log = ReadRecordedLog(std::make_unique<std::istringstream>(text), text.size(),
                                     LogFormat::Candump, "replayed.log");
    if (!log.frames) return {};
    slot.Load(std::make_unique<ReplaySchedule>(std::move(log.frames), ReplayOptions{}));
    Tx_CANDATA.Param_ALL_Clear();
    device.set_t_bitRate(2);
    clock.step = 0.01;
    pump.on_pass = [&](int) {
      if (slot.schedule()->Finished()) RxFlag = 0;
    };
    pump.on_wait = [this](double deadline) { clock.now = std::max(clock.now, deadline); };
    written.clear();
    FormBG form(RxFlag, clock, *this, messages, pump, families.drivers,
                {.writes = this, .replay = &slot});
    form.Open_ChosenDevice(families, Tx_CANDATA);
    return slot.schedule()->Summary();
  }
  // The device calls of the last Connect, and the texts shown in between.
  std::vector<std::string> Journal() const {
    const auto all = bench_.Calls();
    std::vector<std::string> journal;
    auto text = texts_.begin();
    for (size_t i = first_call_; i <= all.size(); ++i) {
      for (; text != texts_.end() && text->first == i; ++text) journal.push_back(text->second);
      if (i < all.size()) journal.push_back(all[i]);
    }
    return journal;
  }

  ELM327_Info device;
  FamilyObjects objects;
  FamilySet families{device, objects, bench_.kernel};
  CAN_SendDB Tx_CANDATA;
  int32_t RxFlag = 0;
  ScriptedClock clock;
  ScriptedPump pump;
  RecordingMessages messages;
  std::vector<std::string> entries;
  bool loop_started = false;
  std::string final_status;  // the running status as the loop ended
  std::vector<std::pair<double, CanFrame>> written;

 private:
  void Progress(double) override {}
  void Judging() override {}
  void AddEntry(const std::string& text) override { entries.push_back(text); }
  void set_TB_Status(const std::string& text) override { Note("status:" + text); }
  void set_TB_Protocol(const std::string& text) override { Note("protocol:" + text); }
  void LoopStarted(LiveConnection&) override { loop_started = true; }
  void LoopEnded(LiveConnection& live) override {
    final_status = live.StatusText();
    Note("live:" + final_status);
  }
  void Written(const CanFrame& frame, bool) override { written.emplace_back(clock.now, frame); }
  void Note(std::string text) { texts_.emplace_back(bench_.Calls().size(), std::move(text)); }

  size_t first_call_ = 0;
  std::vector<std::pair<size_t, std::string>> texts_;
};

}  // namespace telpod::test
