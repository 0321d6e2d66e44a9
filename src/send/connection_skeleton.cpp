#include "send/connection_skeleton.h"

#include "model/row_rule_stamp.h"
#include "platform/timer_resolution.h"

namespace telpod {

namespace {

// RxFlag drops to 0 however the connection ends, exceptions included.
class RxFlagReset {
 public:
  explicit RxFlagReset(int32_t& flag) : flag_(flag) {}
  ~RxFlagReset() { flag_ = 0; }
  RxFlagReset(const RxFlagReset&) = delete;
  RxFlagReset& operator=(const RxFlagReset&) = delete;

 private:
  int32_t& flag_;
};

// The view may ask the connection while the loop runs, and is told when
// that ends, exceptions included.
class LiveWhileLooping {
 public:
  LiveWhileLooping(ConnectionView& view, FamilyConnection& live, SendLoop& loop)
      : view_(view), live_(live) {
    live_.RunBy(&loop);
    view_.LoopStarted(live_);
  }
  ~LiveWhileLooping() {
    try {
      view_.LoopEnded(live_);
    } catch (...) {
      // A view that fails here must not keep the device from closing.
    }
    live_.RunBy(nullptr);
  }
  LiveWhileLooping(const LiveWhileLooping&) = delete;
  LiveWhileLooping& operator=(const LiveWhileLooping&) = delete;

 private:
  ConnectionView& view_;
  FamilyConnection& live_;
};

}  // namespace

std::string FamilyConnection::OpenFailureMessage() const {
  if (!open_failure_.empty()) return open_failure_;
  return platform::Tr(connection_message::kDeviceNotWorking) + platform::kCrLf +
         platform::Tr(connection_message::kEndConnection);
}

void FamilyConnection::SendRuled(CanFrame frame, int16_t i, const RowRule& rule) {
  const int value = rule.counter ? counters_.Current(i, *rule.counter) : 0;
  StampFrame(rule, value, frame);
  if (Send(frame) && rule.counter) counters_.Advance(i, *rule.counter);
}

int32_t RunConnection(ConnectionContext& ctx, FamilyConnection& family) {
  RxFlagReset reset(ctx.RxFlag);
  family.ObserveWrites(ctx.extras.writes);
  family.FollowRules(ctx.extras.rules);
  const int32_t index = ctx.device.t_bitRate();
  if (!family.SelectRate(index)) {
    ctx.messages.Show(platform::Tr(connection_message::kUnsupportedRate) + platform::kCrLf +
                          platform::Tr(connection_message::kUnsupportedRateEnd),
                      ctx.device.Application_title(), platform::MessageIcon::Critical);
    return 0;
  }
  if (!family.Open()) {
    ctx.messages.Show(family.OpenFailureMessage(), ctx.device.Application_title(),
                      platform::MessageIcon::Critical);
    return family.CloseAfterFailedOpen();
  }
  ctx.view.set_TB_Protocol(BitRateLabel(index));

  RememberingClock clock(ctx.clock);
  SendLoop loop(ctx.SendDB, ctx.RxFlag, clock, family, ctx.pump);
  if (ctx.extras.replay != nullptr) loop.Join(*ctx.extras.replay, family);
  LoopStart start(loop, ctx.view);
  try {
    family.Start(start);
    // From the loop's first clock stamp, which the family has just made.
    family.CountTakenBits(&clock);
    platform::timeBeginPeriod(1);
    LiveWhileLooping live(ctx.view, family, loop);
    loop.Run();
  } catch (...) {
    // Nothing the loop calls should throw; if something does, the device
    // is still closed below and the window gets its idle state back.
  }
  family.CountTakenBits(nullptr);
  platform::timeEndPeriod(1);
  ctx.view.set_TB_Status(platform::Tr(status_text::kClosing));
  return family.Close();
}

}  // namespace telpod
