#pragma once

#include <cstdint>
#include <string>

#include "model/bit_rate_table.h"
#include "model/can_senddb.h"
#include "model/elm327_info.h"
#include "platform/translation.h"
#include "platform/window_services.h"
#include "send/clock.h"
#include "send/send_loop.h"

namespace telpod {

// The status boxes of the main window that a connection writes.
class ConnectionView {
 public:
  virtual ~ConnectionView() = default;
  virtual void set_TB_Status(const std::string& text) = 0;
  virtual void set_TB_Protocol(const std::string& text) = 0;
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
};

namespace status_text {
inline constexpr platform::SourceText kRunning = TELPOD_TEXT("Connection", "通信中");
inline constexpr platform::SourceText kClosing = TELPOD_TEXT("Connection", "終了処理中");
}  // namespace status_text

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

// One interface family's part of a connection: its device calls and its
// frame encoding. Everything else (messages, labels, the loop, the timer
// resolution, RxFlag) is the skeleton's.
class FamilyConnection : public RowWriter {
 public:
  // Picks the device's rate parameter for a bit-rate index; false when the
  // family does not offer that rate (no device call has been made then).
  virtual bool SelectRate(int32_t t_bitRate) = 0;
  // Opens and configures the device; false when that failed.
  virtual bool Open() = 0;
  // Second line of the open-failure message.
  virtual platform::SourceText OpenFailureLine() const;
  // The whole open-failure message; a family that knows why the open failed
  // may say so instead.
  virtual std::string OpenFailureMessage() const;
  // Runs after the open-failure message; its result is the connection's.
  virtual int32_t CloseAfterFailedOpen() { return 0; }
  // The family's last device calls, in its order with the loop's start.
  virtual void Start(LoopStart& start) = 0;
  // Takes the device off the bus and closes it; the result is the connection's.
  virtual int32_t Close() = 0;
};

namespace connection_message {
inline constexpr platform::SourceText kDeviceNotWorking =
    TELPOD_TEXT("Connection", "機器が正常に動作していません。");
inline constexpr platform::SourceText kUnsupportedRate =
    TELPOD_TEXT("Connection", "非対応の通信速度が選択されています。");
inline constexpr platform::SourceText kEndConnection =
    TELPOD_TEXT("Connection", "接続を終了します。");
inline constexpr platform::SourceText kEndApplication =
    TELPOD_TEXT("Connection", "アプリケーションを終了します。");
}  // namespace connection_message

// The shared course of every connection: rate choice, open, label, loop,
// close, and RxFlag back to 0 on every way out. Returns the family's result
// (the close status, or 0).
int32_t RunConnection(ConnectionContext& ctx, FamilyConnection& family);

}  // namespace telpod
