// The simulated CANlib as scripting tools drive it: handles on one channel
// share a bus, reads wait for frames, and the library answers the calls
// python-can's Kvaser interface makes with CANlib's own statuses.
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <stdexcept>
#include <thread>
#include <vector>

#include "abi/canlib_abi.h"
#include "bus_member.h"
#include "devices/simulated_devices.h"
#include "platform/dynamic_library.h"
#include "support/temp_folder.h"

namespace telpod {
namespace {

using namespace canlib_abi;
using Bytes = std::vector<uint8_t>;

constexpr unsigned long kForever = 0xFFFFFFFF;

// The entry points beyond the program's own, from the same library; a
// missing one fails the fixture.
struct ScriptingCalls {
  template <typename Fn>
  Fn Bind(const char* name) {
    Fn entry = nullptr;
    if (!library.Resolve(name, entry)) throw std::runtime_error(library.error());
    return entry;
  }
  static platform::DynamicLibrary Opened() {
    platform::DynamicLibrary library;
    if (!library.Open(test::SimulatorPath(platform::kCanlibLibraryFile))) {
      throw std::runtime_error(library.error());
    }
    return library;
  }

  platform::DynamicLibrary library = Opened();
#define TELPOD_CALL(name) name##_t name = Bind<name##_t>(#name);
  TELPOD_CALL(canGetErrorText)
  TELPOD_CALL(canGetVersion)
  TELPOD_CALL(canIoCtl)
  TELPOD_CALL(canSetBusOutputControl)
  TELPOD_CALL(canSetBusParamsFd)
  TELPOD_CALL(canSetBusParamsC200)
  TELPOD_CALL(canSetAcceptanceFilter)
  TELPOD_CALL(canReadWait)
  TELPOD_CALL(canWriteSync)
  TELPOD_CALL(canFlushReceiveQueue)
  TELPOD_CALL(kvReadTimer)
  TELPOD_CALL(kvFlashLeds)
  TELPOD_CALL(canRequestBusStatistics)
  TELPOD_CALL(canGetBusStatistics)
#undef TELPOD_CALL
};

// What one canReadWait handed back; `data` is what it wrote into the buffer.
struct Read {
  canStatus status = canOK;
  long id = -1;
  Bytes data;
  unsigned int dlc = 0;
  unsigned int flags = 0;
  unsigned long time = 0;
};

// Memory whose last readable byte is the last byte of `size`: reading one
// byte further stops the process.
class BytesAtPageEnd {
 public:
  BytesAtPageEnd() : page_(static_cast<size_t>(sysconf(_SC_PAGESIZE))) {
    area_ = mmap(nullptr, 2 * page_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (area_ == MAP_FAILED || mprotect(Start() + page_, page_, PROT_NONE) != 0) {
      throw std::runtime_error("no guard page");
    }
  }
  ~BytesAtPageEnd() { munmap(area_, 2 * page_); }
  uint8_t* Last(size_t size) { return Start() + page_ - size; }

 private:
  uint8_t* Start() { return static_cast<uint8_t*>(area_); }
  size_t page_;
  void* area_ = nullptr;
};

class CanlibBus : public test::SimulatedDevices {
 protected:
  void SetUp() override {
    SimulatedDevices::SetUp();
    kvaser.Configure(
        "kvaser name=\"Kvaser USBcan Pro 2xHS v2 (channel 0)\"\n"
        "kvaser name=\"Kvaser USBcan Pro 2xHS v2 (channel 1)\"\n"
        "kvaser name=plain\n");
    lib.canInitializeLibrary();
  }
  canHandle Open(int channel) { return lib.canOpenChannel(channel, canOPEN_ACCEPT_VIRTUAL); }
  canHandle OpenOnBus(int channel) {
    const canHandle h = Open(channel);
    EXPECT_EQ(lib.canBusOn(h), canOK);
    return h;
  }
  canStatus Send(canHandle h, long id, unsigned int dlc = 3, unsigned int flag = canMSG_STD) {
    uint8_t data[8] = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88};
    return lib.canWrite(h, id, data, dlc, flag);
  }
  Read Receive(canHandle h, unsigned long timeout = 0) {
    Read r;
    uint8_t buffer[64] = {};
    r.status = calls.canReadWait(h, &r.id, buffer, &r.dlc, &r.flags, &r.time, timeout);
    const size_t written = (r.flags & canMSG_RTR) ? 0 : std::min(r.dlc, 8u);
    if (r.status == canOK) r.data.assign(buffer, buffer + written);
    return r;
  }
  canStatus Switch(canHandle h, unsigned int func, uint8_t on) {
    return calls.canIoCtl(h, func, &on, 1);
  }

  const CanlibDriver& lib = *canlib();
  ScriptingCalls calls;
};

TEST_F(CanlibBus, FramesReachTheOtherHandlesOnTheChannelWithTheirFlags) {
  const canHandle writer = OpenOnBus(0), reader = OpenOnBus(0);
  const canHandle off_bus = Open(0), elsewhere = OpenOnBus(1);
  struct Case {
    long id;
    unsigned int dlc, flag;
    Bytes data;
  };
  const Case cases[] = {
      {0x123, 3, canMSG_STD, {0x11, 0x22, 0x33}},
      {0x18DAF110, 8, canMSG_EXT, {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88}},
      {0x7FF, 0, canMSG_STD, {}},
      {0x100, 4, canMSG_STD | canMSG_RTR, {}},
      {0x1ABCDEF, 2, canMSG_EXT | canMSG_RTR, {}},
  };
  for (const Case& c : cases) ASSERT_EQ(Send(writer, c.id, c.dlc, c.flag), canOK) << c.id;
  for (const Case& c : cases) {
    const Read r = Receive(reader);
    EXPECT_EQ(r.status, canOK);
    EXPECT_EQ(r.id, c.id);
    EXPECT_EQ(r.dlc, c.dlc);
    EXPECT_EQ(r.flags, c.flag);
    EXPECT_EQ(r.data, c.data) << c.id;
  }
  for (canHandle h : {reader, writer, off_bus, elsewhere}) {
    EXPECT_EQ(Receive(h).status, canERR_NOMSG) << h;
  }
}

TEST_F(CanlibBus, ReadWaitEndsWithItsTimeoutAFrameOrAClose) {
  const canHandle writer = OpenOnBus(0), reader = OpenOnBus(0), closed = OpenOnBus(0);
  EXPECT_EQ(Receive(reader, 0).status, canERR_NOMSG);
  EXPECT_EQ(Receive(reader, 20).status, canERR_NOMSG);
  EXPECT_EQ(Receive(reader + 5, 20).status, canERR_INVHANDLE);
  EXPECT_EQ(Receive(-1, kForever).status, canERR_INVHANDLE);
  Read frame, gone;
  std::thread waiting([&] { frame = Receive(reader, kForever); });
  std::thread closing([&] { gone = Receive(closed, kForever); });
  EXPECT_EQ(lib.canClose(closed), canOK);
  EXPECT_EQ(Send(writer, 0x321), canOK);
  waiting.join();
  closing.join();
  EXPECT_EQ(frame.status, canOK);
  EXPECT_EQ(frame.id, 0x321);
  EXPECT_EQ(gone.status, canERR_INVHANDLE);
  // Every output may be left out.
  ASSERT_EQ(Send(writer, 0x100), canOK);
  EXPECT_EQ(calls.canReadWait(reader, nullptr, nullptr, nullptr, nullptr, nullptr, 0), canOK);
}

TEST_F(CanlibBus, EchoAcknowledgementAndFiltersFollowEachHandlesSettings) {
  const canHandle writer = OpenOnBus(0), reader = OpenOnBus(0);
  ASSERT_EQ(Switch(writer, canIOCTL_SET_LOCAL_TXECHO, 0), canOK);
  ASSERT_EQ(Send(writer, 0x100), canOK);
  EXPECT_EQ(Receive(reader).status, canERR_NOMSG);  // the writer keeps its frames to itself
  ASSERT_EQ(Switch(writer, canIOCTL_SET_LOCAL_TXECHO, 1), canOK);
  ASSERT_EQ(Switch(reader, canIOCTL_SET_LOCAL_TXACK, 1), canOK);
  ASSERT_EQ(Send(writer, 0x100), canOK);
  EXPECT_EQ(Receive(reader).flags, canMSG_STD | canMSG_LOCAL_TXACK);
  ASSERT_EQ(Switch(reader, canIOCTL_SET_LOCAL_TXACK, 0), canOK);
  // 11-bit 0x10x and 29-bit 0x18DAxxxx pass, each format through its own filter.
  ASSERT_EQ(calls.canSetAcceptanceFilter(reader, 0x100, 0x7F0, 0), canOK);
  ASSERT_EQ(calls.canSetAcceptanceFilter(reader, 0x18DA0000, 0x1FFF0000, 1), canOK);
  const std::tuple<long, unsigned int, bool> cases[] = {
      {0x105, canMSG_STD, true},      {0x205, canMSG_STD, false},      {0x105, canMSG_EXT, false},
      {0x18DAF110, canMSG_EXT, true}, {0x18DBF110, canMSG_EXT, false},
  };
  for (const auto& [id, flag, passes] : cases) {
    ASSERT_EQ(Send(writer, id, 3, flag), canOK);
    const Read r = Receive(reader);
    EXPECT_EQ(r.status, passes ? canOK : canERR_NOMSG) << id;
    EXPECT_EQ(r.id, passes ? id : -1);
  }
}

// With shared-bus a handle's frames reach the other processes on its
// channel, and theirs reach it; the other process is a member of the same
// folder inside the test here.
TEST_F(CanlibBus, ASharedBusCarriesFramesToAndFromOtherProcesses) {
  test::TempFolder folder;
  kvaser.Configure("kvaser name=a\nkvaser name=b\nshared-bus folder=" + folder.path() + "\n");
  lib.canInitializeLibrary();
  const canHandle mine = OpenOnBus(0), elsewhere = OpenOnBus(1);
  test::ReceivedFrames at_other;
  cansim::SharedBus other(at_other.Delivery(), "other");
  other.Configure(folder.path());
  other.Join("kvaser0");

  ASSERT_EQ(Send(mine, 0x123), canOK);
  const auto sent = at_other.Wait(1);
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].first, "kvaser0");
  EXPECT_EQ(sent[0].second.id, 0x123u);
  EXPECT_EQ(sent[0].second.dlc, 3);
  EXPECT_EQ(Bytes(sent[0].second.data.begin(), sent[0].second.data.begin() + 3),
            (Bytes{0x11, 0x22, 0x33}));

  other.Send("kvaser0", {0x18DAF110, true, false, 2, {0xA1, 0xB2}, 0});
  const Read r = Receive(mine, 30'000);
  EXPECT_EQ(r.status, canOK);
  EXPECT_EQ(r.id, 0x18DAF110);
  EXPECT_EQ(r.flags, canMSG_EXT);
  EXPECT_EQ(r.data, (Bytes{0xA1, 0xB2}));
  EXPECT_EQ(Receive(elsewhere).status, canERR_NOMSG);
  other.Configure(std::nullopt);
  kvaser.Reset();  // the library leaves the bus before its folder goes
}

TEST_F(CanlibBus, IoCtlTakesItsArgumentsAsCanlibDefinesThem) {
  const canHandle writer = OpenOnBus(0), reader = OpenOnBus(0);
  uint32_t word = 10;
  EXPECT_EQ(calls.canIoCtl(reader, canIOCTL_SET_TIMER_SCALE, &word, 4), canOK);
  word = 0;
  EXPECT_EQ(calls.canIoCtl(reader, canIOCTL_GET_TIMER_SCALE, &word, 4), canOK);
  EXPECT_EQ(word, 10u);
  const std::tuple<unsigned int, void*, unsigned int, canStatus> cases[] = {
      {canIOCTL_SET_TIMER_SCALE, &word, 2, canERR_PARAM},
      {canIOCTL_SET_TIMER_SCALE, nullptr, 4, canERR_PARAM},
      {canIOCTL_GET_TIMER_SCALE, &word, 3, canERR_PARAM},
      {canIOCTL_SET_LOCAL_TXECHO, &word, 0, canERR_PARAM},
      {canIOCTL_SET_LOCAL_TXACK, nullptr, 1, canERR_PARAM},
      {canIOCTL_FLUSH_TX_BUFFER, nullptr, 0, canOK},
      {9999, &word, 4, canERR_NOT_IMPLEMENTED},
  };
  for (const auto& [func, buf, size, status] : cases) {
    EXPECT_EQ(calls.canIoCtl(reader, func, buf, size), status) << func;
  }
  word = 0;  // a scale of zero ticks never
  EXPECT_EQ(calls.canIoCtl(reader, canIOCTL_SET_TIMER_SCALE, &word, 4), canERR_PARAM);
  EXPECT_EQ(calls.canIoCtl(reader + 9, canIOCTL_FLUSH_TX_BUFFER, nullptr, 0), canERR_INVHANDLE);
  for (int round = 0; round < 2; ++round) {
    ASSERT_EQ(Send(writer, 0x100), canOK);
    EXPECT_EQ(round == 0 ? calls.canIoCtl(reader, canIOCTL_FLUSH_RX_BUFFER, nullptr, 0)
                         : calls.canFlushReceiveQueue(reader),
              canOK);
    EXPECT_EQ(Receive(reader).status, canERR_NOMSG);
  }
}

// A caller may hand over a buffer exactly as long as the frame: nothing
// beyond it is read, and the record kept is those bytes.
TEST_F(CanlibBus, WriteReadsNoByteBeyondTheFrame) {
  const canHandle writer = OpenOnBus(0);
  BytesAtPageEnd memory;
  for (unsigned int dlc = 0; dlc <= 8; ++dlc) {
    uint8_t* msg = memory.Last(dlc);
    for (unsigned int i = 0; i < dlc; ++i) msg[i] = static_cast<uint8_t>(0xA0 + i);
    ASSERT_EQ(lib.canWrite(writer, 0x100, msg, dlc, canMSG_STD), canOK);
    EXPECT_EQ(kvaser.LastRecord("canWrite"), Bytes(msg, msg + dlc));
  }
  EXPECT_EQ(lib.canWrite(writer, 0x100, memory.Last(0), 8, canMSG_STD | canMSG_RTR), canOK);
  EXPECT_EQ(kvaser.LastRecord("canWrite"), Bytes{});
}

TEST_F(CanlibBus, ChannelDataDescribesTheDeviceAndTheChannelOnIt) {
  const std::tuple<int, const char*, uint32_t> cases[] = {
      {0, "Kvaser USBcan Pro 2xHS v2", 0}, {1, "Kvaser USBcan Pro 2xHS v2", 1}, {2, "plain", 0}};
  for (const auto& [channel, description, number] : cases) {
    char text[80] = {};
    uint32_t on_card = 99;
    EXPECT_EQ(lib.canGetChannelData(channel, canCHANNELDATA_DEVDESCR_ASCII, text, sizeof text),
              canOK);
    EXPECT_EQ(lib.canGetChannelData(channel, canCHANNELDATA_CHAN_NO_ON_CARD, &on_card, 4), canOK);
    EXPECT_STREQ(text, description);
    EXPECT_EQ(on_card, number);
  }
  uint16_t small = 0;
  EXPECT_EQ(lib.canGetChannelData(1, canCHANNELDATA_CHAN_NO_ON_CARD, &small, 2), canERR_PARAM);
}

TEST_F(CanlibBus, ErrorTextsAndVersionAreTheLibrarys) {
  const std::pair<canStatus, const char*> texts[] = {{canOK, "No error"},
                                                     {canERR_PARAM, "Error in parameter"},
                                                     {canERR_NOMSG, "No messages available"},
                                                     {canERR_INVHANDLE, "Handle is invalid"},
                                                     {-999, "Unknown error"}};
  for (const auto& [status, text] : texts) {
    char buffer[128] = {};
    EXPECT_EQ(calls.canGetErrorText(status, buffer, sizeof buffer), canOK);
    EXPECT_STREQ(buffer, text);
  }
  char small[6];
  EXPECT_EQ(calls.canGetErrorText(canERR_PARAM, small, sizeof small), canOK);
  EXPECT_STREQ(small, "Error");
  EXPECT_EQ(calls.canGetErrorText(canERR_PARAM, nullptr, 10), canERR_PARAM);
  EXPECT_EQ(calls.canGetVersion() >> 8, 5);
}

TEST_F(CanlibBus, StatisticsAndTimerFollowTheBus) {
  const canHandle writer = OpenOnBus(0), reader = OpenOnBus(0);
  uint32_t scale = 10;
  ASSERT_EQ(calls.canIoCtl(reader, canIOCTL_SET_TIMER_SCALE, &scale, 4), canOK);
  unsigned int before = 0, after = 0;
  ASSERT_EQ(calls.kvReadTimer(reader, &before), canOK);
  const unsigned int flags[] = {canMSG_STD, canMSG_STD | canMSG_RTR, canMSG_EXT, canMSG_EXT};
  for (unsigned int flag : flags) {
    ASSERT_EQ(Send(writer, 0x100, 1, flag), canOK);
  }
  const Read first = Receive(reader);
  ASSERT_EQ(calls.kvReadTimer(reader, &after), canOK);
  EXPECT_LE(before, first.time);
  EXPECT_LE(first.time, after);
  canBusStatistics stats{};
  ASSERT_EQ(calls.canRequestBusStatistics(reader), canOK);
  ASSERT_EQ(calls.canGetBusStatistics(reader, &stats, sizeof stats), canOK);
  EXPECT_EQ(stats.stdData, 1u);
  EXPECT_EQ(stats.stdRemote, 1u);
  EXPECT_EQ(stats.extData, 2u);
  EXPECT_EQ(stats.extRemote, 0u);
  EXPECT_EQ(calls.canGetBusStatistics(reader, &stats, sizeof stats - 1), canERR_PARAM);
  EXPECT_EQ(calls.kvReadTimer(reader, nullptr), canERR_PARAM);
}

TEST_F(CanlibBus, BusSettingsAnswerForOpenHandlesOnly) {
  const canHandle h = OpenOnBus(0), bad = h + 7;
  EXPECT_EQ(calls.canSetBusOutputControl(h, canDRIVER_NORMAL), canOK);
  EXPECT_EQ(calls.canSetBusOutputControl(h, canDRIVER_SILENT), canOK);
  EXPECT_EQ(calls.canSetBusOutputControl(h, 3), canERR_PARAM);
  EXPECT_EQ(calls.canSetBusParamsC200(h, 0x00, 0x1C), canOK);
  EXPECT_EQ(calls.canSetBusParamsFd(h, -1000, 0, 0, 0), canERR_NOT_SUPPORTED);  // classic only
  EXPECT_EQ(calls.canWriteSync(h, 100), canOK);
  EXPECT_EQ(calls.kvFlashLeds(h, kvLED_ACTION_ALL_LEDS_ON, 1000), canOK);
  const canStatus answers[] = {calls.canSetBusOutputControl(bad, canDRIVER_NORMAL),
                               calls.canSetBusParamsC200(bad, 0, 0x1C),
                               calls.canSetBusParamsFd(bad, -1000, 0, 0, 0),
                               calls.canWriteSync(bad, 100),
                               calls.kvFlashLeds(bad, kvLED_ACTION_ALL_LEDS_ON, 1000),
                               calls.canRequestBusStatistics(bad),
                               calls.canFlushReceiveQueue(bad),
                               calls.canSetAcceptanceFilter(bad, 0, 0, 0)};
  for (canStatus s : answers) EXPECT_EQ(s, canERR_INVHANDLE);
}

TEST_F(CanlibBus, AFullReceiveQueueLosesFramesAndMarksTheNextOneKept) {
  constexpr int kQueue = 4096;
  const canHandle writer = OpenOnBus(0), reader = OpenOnBus(0);
  for (int i = 0; i <= kQueue; ++i) ASSERT_EQ(Send(writer, i & 0x7FF), canOK);  // one too many
  EXPECT_EQ(Receive(reader).flags, canMSG_STD);
  ASSERT_EQ(Send(writer, 0x555), canOK);
  std::vector<Read> rest;
  for (Read r = Receive(reader); r.status == canOK; r = Receive(reader)) rest.push_back(r);
  ASSERT_EQ(rest.size(), static_cast<size_t>(kQueue));
  EXPECT_EQ(rest.back().id, 0x555);
  EXPECT_EQ(rest.back().flags, canMSG_STD | canMSGERR_SW_OVERRUN);
  EXPECT_EQ(rest[kQueue - 2].flags, canMSG_STD);
}

}  // namespace
}  // namespace telpod
