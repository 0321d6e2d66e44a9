#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "model/bit_rate_table.h"
#include "model/bus_load.h"
#include "model/can_frame.h"
#include "model/can_senddb.h"
#include "model/elm327_info.h"
#include "model/row_rule.h"
#include "platform/translation.h"
#include "platform/window_services.h"
#include "send/clock.h"
#include "send/connection_status.h"
#include "send/frame_sender.h"
#include "send/remembering_clock.h"
#include "send/replay_slot.h"
#include "send/row_counters.h"
#include "send/send_loop.h"
#include "send/taken_bit_count.h"

namespace telpod {

// The status boxes of the main window that a connection writes, and the
// running connection it may ask between passes of the loop.
class ConnectionView {
 public:
  virtual ~ConnectionView() = default;
  virtual void set_TB_Status(const std::string& text) = 0;
  virtual void set_TB_Protocol(const std::string& text) = 0;
  // The loop is about to run: `live` may be asked from now on.
  virtual void LoopStarted(LiveConnection& live) = 0;
  // The loop has ended and the device is still open: a last look at
  // `live` is allowed here, none afterwards.
  virtual void LoopEnded(LiveConnection& live) = 0;
};

// Sees each frame a connection hands to its device, right after the write,
// and whether the device took it. Runs inside the loop, so it stays short.
class WriteObserver {
 public:
  virtual void Written(const CanFrame& frame, bool taken) = 0;

 protected:
  ~WriteObserver() = default;
};

// What a connection may be given besides its device and rows. Nobody
// watches the writes unless `writes` is given; rows follow `rules`, when
// given, as they stand at each frame; the loop plays what `replay` holds,
// when given, beside the rows.
struct ConnectionExtras {
  WriteObserver* writes = nullptr;
  const RowRules* rules = nullptr;
  ReplaySlot* replay = nullptr;
};

// Everything a connection borrows from the main window for its duration.
struct ConnectionContext {
  ELM327_Info& device;
  CAN_SendDB& SendDB;
  int32_t& RxFlag;
  Clock& clock;
  ConnectionView& view;
  platform::MessageBoxes& messages;
  platform::EventPump& pump;
  ConnectionExtras extras = {};
};

// Handed to a family while the loop starts, so that it can put its last
// device calls before or after the clock stamp and the running status.
class LoopStart {
 public:
  LoopStart(SendLoop& loop, ConnectionView& view) : loop_(loop), view_(view) {}
  void StampLastVisit() { loop_.StampLastVisit(); }
  void ShowRunning() { view_.set_TB_Status(platform::Tr(status_text::kRunning)); }

 private:
  SendLoop& loop_;
  ConnectionView& view_;
};

// One interface family's part of a connection: its device calls, its frame
// encoding and its reading of the bus state. Everything else (messages,
// labels, the loop, the timer resolution, RxFlag, counting failed writes)
// is the skeleton's.
class FamilyConnection : public RowWriter, public LiveConnection, public FrameSender {
 public:
  // Picks the device's rate parameter for a bit-rate index; false when the
  // family does not offer that rate (no device call has been made then).
  virtual bool SelectRate(int32_t t_bitRate) = 0;
  // Opens and configures the device; false when that failed.
  virtual bool Open() = 0;
  // The open-failure message: the device does not work and the connection
  // ends (the program goes on); or why the open failed, when Open said so.
  std::string OpenFailureMessage() const;
  // Runs after the open-failure message; its result is the connection's.
  virtual int32_t CloseAfterFailedOpen() { return 0; }
  // The family's last device calls, in its order with the loop's start. A
  // family with none has the clock stamped, then the running status shown.
  virtual void Start(LoopStart& start) {
    start.StampLastVisit();
    start.ShowRunning();
  }
  // Takes the device off the bus and closes it; the result is the connection's.
  virtual int32_t Close() = 0;

  // Hands one frame to the device in the family's encoding; false when the
  // device did not take it. No retry: the loop goes on either way.
  virtual bool WriteFrame(const CanFrame& frame) = 0;
  // A family whose library reports the controller's state reads it here.
  BusState ReadBusState() override { return BusState::Normal; }

  // The loop's write of row i: its stored bytes, or with its rule's counter
  // and checksum written in when it has one.
  void WriteRow(const CAN_SendDB& SendDB, int16_t i) final {
    const RowRule* rule = rules_ == nullptr ? nullptr : rules_->Find(i);
    if (rule == nullptr) {
      Send(FrameOfRow(SendDB, i));
    } else {
      SendRuled(FrameOfRow(SendDB, i), i, *rule);
    }
  }
  // Every frame goes out here: the one place a refused frame is counted and
  // a taken one's bits, and the observer, when there is one, learns of each.
  bool Send(const CanFrame& frame) final {
    const bool taken = WriteFrame(frame);
    if (!taken) ++failed_writes_;
    if (taken && clock_ != nullptr) taken_.Add(clock_->Last(), FrameBits(frame));
    if (observer_ != nullptr) observer_->Written(frame, taken);
    return taken;
  }
  int64_t FailedWrites() const final { return failed_writes_; }
  double TakenBitsPerSecond() final { return clock_ ? taken_.PerSecond(clock_->Now()) : 0.0; }
  int64_t TakenBits() const final { return taken_.Total(); }
  void ObserveWrites(WriteObserver* observer) { observer_ = observer; }
  // From now on the bits of the frames the device takes are counted, at the
  // loop clock's last reading; null stops the count and keeps the total.
  void CountTakenBits(RememberingClock* clock) {
    if (clock != nullptr) taken_.Start(clock->Last());
    clock_ = clock;
  }
  void BringRowsUpToDate() final {
    if (loop_ != nullptr) loop_->BringRowsUpToDate();
  }
  // The loop that runs this connection, while it runs; else null.
  void RunBy(SendLoop* loop) { loop_ = loop; }
  // The rows' rules from now on; every counter starts again.
  void FollowRules(const RowRules* rules) {
    rules_ = rules;
    counters_.Restart();
  }

 protected:
  // Open's word on why it failed, shown instead of the general message;
  // an empty text takes it back.
  void SayWhyOpenFailed(std::string why) { open_failure_ = std::move(why); }

 private:
  // A counter moves on only when the device took the frame that carried it.
  void SendRuled(CanFrame frame, int16_t i, const RowRule& rule);

  int64_t failed_writes_ = 0;
  WriteObserver* observer_ = nullptr;
  RememberingClock* clock_ = nullptr;
  TakenBitCount taken_;
  SendLoop* loop_ = nullptr;
  const RowRules* rules_ = nullptr;
  RowCounters counters_;
  std::string open_failure_;
};

namespace connection_message {
inline constexpr platform::SourceText kDeviceNotWorking =
    TELPOD_TEXT("Connection", "機器が正常に動作していません。");
inline constexpr platform::SourceText kUnsupportedRate =
    TELPOD_TEXT("Connection", "非対応の通信速度が選択されています。");
inline constexpr platform::SourceText kEndConnection =
    TELPOD_TEXT("Connection", "接続を終了します。");
// The unsupported-rate message's own last line, as users have always read it.
inline constexpr platform::SourceText kUnsupportedRateEnd =
    TELPOD_TEXT("Connection", "接続をを終了します。");
}  // namespace connection_message

// The shared course of every connection: rate choice, open, label, loop,
// close, and RxFlag back to 0 on every way out. Returns the family's result
// (the close status, or 0).
int32_t RunConnection(ConnectionContext& ctx, FamilyConnection& family);

}  // namespace telpod
