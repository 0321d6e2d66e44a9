#pragma once

#include <string>
#include <vector>

#include "devices/form_bg.h"
#include "devices/simulated_devices.h"
#include "model/family.h"

namespace telpod::test {

// Status boxes that note each text with the number of driver calls made
// before it, so tests see texts and calls in one order. When the loop ends
// it notes the status the window would show, after the calls that took.
class SnapshotView : public ConnectionView {
 public:
  void set_TB_Status(const std::string& text) override { Note("status:" + text); }
  void set_TB_Protocol(const std::string& text) override { Note("protocol:" + text); }
  void LoopStarted(LiveConnection&) override {}
  void LoopEnded(LiveConnection& live) override {
    final_status = live.StatusText();
    Note("live:" + final_status);
  }
  std::string final_status;
  const SimControl* sim = nullptr;
  size_t first_call = 0;
  std::vector<std::pair<size_t, std::string>> texts;

 private:
  void Note(const std::string& text) { texts.emplace_back(sim->CallLog(first_call).size(), text); }
};

// FormBG over the simulated drivers, the window replaced by recorders. The
// chosen devices: adapter LWSIM001, the board at port 4 (second of two),
// Kvaser channel 0 (channels 0 and 2 listed).
class ConnectionTest : public SimulatedDevices {
 protected:
  void SetUp() override {
    SimulatedDevices::SetUp();
    if (HasFatalFailure()) return;
    CAN_d.set_CAN_USB_SelectSerial("LWSIM001");
    boards.Configure("ifcan port=1\nifcan port=4 config=7,0xA1,0xA2,0xA3,0xA4,0xA5,9\n");
    IfCan_d.set_Interface_CAN_FindCount(2);
    IfCan_d.set_Interface_CAN_FindNo(1, 1);
    IfCan_d.set_Interface_CAN_FindNo(2, 4);
    IfCan_d.set_Interface_CAN_SelectNo(2);
    Configure(Family::Kvaser, "kvaser name=a\nkvaser name=b\nkvaser name=c\n");
    kvCan_d.set_Kvaser_FindCount(2);
    kvCan_d.set_Kvaser_DevChannel(1, 2);
    kvCan_d.set_KvCAN_SelectNo(1);
    DisconnectAfter(1);
  }
  SimControl& Sim(Family f) {
    return f == Family::CANUSB ? usb : f == Family::Interface ? boards : kvaser;
  }
  void Configure(Family f, const std::string& text) {
    Sim(f).Configure(text);
    // Start-up initialises CANlib, not the connection.
    if (f == Family::Kvaser) canlib()->canInitializeLibrary();
  }
  // Connects over `f` until the loop ends; the status the routine returns.
  int32_t Run(Family f) {
    view.sim = &Sim(f);
    view.first_call = Sim(f).CallLog().size();
    view.texts.clear();
    view.final_status.clear();
    messages.shown.clear();
    pump.passes = 0;
    RxFlag = 1;
    if (f == Family::Interface) return form.Open_InterfaceCAN(device, IfCan_u, IfCan_d, db);
    if (f == Family::CANUSB) form.Open_CANUSB(device, CAN_u, CAN_d, db);
    if (f == Family::Kvaser) form.Open_KvaserCAN(device, kvCan_u, kvCan_d, db);
    return 0;
  }
  // The driver calls of the last Run, the texts shown in between.
  std::vector<std::string> Journal(Family f) {
    const auto calls = Sim(f).CallLog(view.first_call);
    std::vector<std::string> journal;
    auto text = view.texts.begin();
    for (size_t i = 0; i <= calls.size(); ++i) {
      for (; text != view.texts.end() && text->first == i; ++text) journal.push_back(text->second);
      if (i < calls.size()) journal.push_back(calls[i]);
    }
    return journal;
  }
  std::string Handle(Family f) {
    return f == Family::CANUSB      ? std::to_string(CAN_d.CAN_USB_Handle())
           : f == Family::Interface ? IfCan_d.Interface_CAN_Handle()
                                    : kvCan_d.KvCAN_Handle();
  }

  // Exactly one message, with the program's title and the critical icon.
  void ExpectMessage(const std::string& text) {
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, text);
    EXPECT_EQ(messages.shown[0].title, "TELPOD Ver1.11");
    EXPECT_EQ(messages.shown[0].icon, platform::MessageIcon::Critical);
  }

  // Row i sends `id` with data bytes first, first + 1, ... first + 7.
  void SetRow(int16_t i, int32_t id, bool extended, uint8_t dlc, uint8_t first) {
    db.set_CAN_ID(i, id);
    db.set_CAN_Send29(i, extended ? 1 : 0);
    db.set_CAN_DLC(i, dlc);
    for (int n = 1; n <= 8; ++n) db.set_CAN_Data(n, i, static_cast<uint8_t>(first + n - 1));
  }
  void Periodic(int16_t i, double period) {
    db.set_CAN_SendCycleOperation(i, 1);
    db.set_CAN_SendCycleTime(i, period);
    db.set_CAN_SendTime(i, period);
  }
  // Disconnect inside the n-th pass's event processing.
  void DisconnectAfter(int passes) {
    pump.on_pass = [this, passes](int n) {
      if (n >= passes) RxFlag = 0;
    };
  }

  CAN_SendDB db;
  int32_t RxFlag = 1;
  ScriptedClock clock;
  SnapshotView view;
  RecordingMessages messages;
  FormBG form{RxFlag, clock, view, messages, pump, drivers};
};

}  // namespace telpod::test
