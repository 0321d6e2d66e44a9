// The Kvaser family: the contract on its simulator, and what only it does.
#include <gtest/gtest.h>

#include "devices/contract/family_contract.h"
#include "devices/kvaser/kvaser_device_info.h"
#include "devices/simulated_devices.h"
#include "platform/driver_folders.h"

namespace telpod {
namespace {

using test::FamilyContract;
using test::FamilyRun;
using Calls = std::vector<std::string>;

class KvaserBench final : public test::SimulatorBench {
 public:
  KvaserBench()
      : SimulatorBench(platform::kCanlibLibraryFile,
                       "kvaser name=\"Kvaser A\" serial=70123 firmware=3.4.0.291 "
                       "upc=0x0007330130004321",
                       "kvaser name=\"Kvaser B\"", {"write=-13", "txqueue=0", "busoff"},
                       {"Kvaser",
                        {"Kvaser A", "Kvaser B"},
                        {"P/N：73-30130-00432-1  S/N：70123  FW：3.4.291",
                         "P/N：0-00000-00000-0  S/N：0  FW：0.0.0"},
                        {"-1", "", "-2", "-3", "-5", "-7", "", "-9", "-4"},
                        {"canBusOff(0)", "canClose(0)"},
                        true}) {}
  // CANlib's rate constant, as canSetBusParams last took it.
  std::string RateOnDevice() const override { return Argument("canSetBusParams", 1); }
};

INSTANTIATE_TEST_SUITE_P(Kvaser, FamilyContract,
                         ::testing::Values(test::MakerOf<KvaserBench>("Kvaser")));

class KvaserTest : public ::testing::Test {
 protected:
  // Start-up on the channels of `config`, then one connection.
  void StartAndConnect(const std::string& config) {
    bench.sim.Configure(config);
    run.StartUp();
    run.Connect();
  }

  KvaserBench bench;
  FamilyRun run{bench};
};

// The bus parameters go before the running status, bus-on after it; each
// row's identifier goes to canWrite as it is, with flag 2 (standard) or 4
// (extended), and CANlib reads the frame's own bytes only.
TEST_F(KvaserTest, AConnectionInItsOrder) {
  StartAndConnect("kvaser name=a");
  EXPECT_EQ(run.Journal(),
            (Calls{"canOpenChannel(0,128)", "protocol:500k bps", "canSetBusParams(0,-2,5,2,1,1,0)",
                   "status:通信中", "canBusOn(0)", "canWrite(0,2015,3,2)",
                   "canWrite(0,417001744,8,4)", "canReadStatus(0)", "live:通信中",
                   "status:終了処理中", "canBusOff(0)", "canClose(0)"}));
  const auto frames = bench.sim.Frames();
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[0].raw_size, 3u);
  EXPECT_EQ(frames[1].raw_size, 8u);
}

// A channel another program took after the search: the connection ends
// without closing anything.
TEST_F(KvaserTest, AHeldChannelIsNotClosed) {
  bench.sim.Configure("kvaser name=a");
  run.StartUp();
  bench.sim.Configure("kvaser name=a held");
  run.families.drivers.Get<CanlibDriver>()->canInitializeLibrary();
  run.Connect();
  EXPECT_EQ(run.Journal(), Calls{"canOpenChannel(0,128)"});
  ASSERT_EQ(run.messages.shown.size(), 1u);
  EXPECT_EQ(run.messages.shown[0].text, "機器が正常に動作していません。\r\n接続を終了します。");
}

TEST_F(KvaserTest, AStatusReadThatFailsNamesNoState) {
  StartAndConnect("kvaser name=a busoff\nfault canReadStatus result=-10");
  EXPECT_EQ(run.final_status, "通信中（送信エラー 2）");
}

class KvaserSearch : public test::SimulatedDevices {
 protected:
  // "channel:name" of each catalogue entry.
  Calls Channels() const {
    Calls listed;
    for (int16_t j = 0; j < kvCan_d.Kvaser_FindCount(); ++j) {
      listed.push_back(std::to_string(kvCan_d.Kvaser_DevChannel(j)) + ":" +
                       kvCan_d.Kvaser_DevdName(j));
    }
    return listed;
  }
  // Every handle the search opened is taken off the bus and closed once all
  // channels were examined.
  void ExpectEveryChannelClosed() {
    Calls closes;
    for (int16_t j = 0; j < kvCan_d.Kvaser_FindCount(); ++j) {
      const std::string h = std::to_string(kvCan_d.Kvaser_DevHandle(j));
      closes.insert(closes.end(), {"canBusOff(" + h + ")", "canClose(" + h + ")"});
    }
    EXPECT_EQ(kvaser.CallLog(kvaser.CallLog().size() - closes.size()), closes);
    EXPECT_EQ(kvaser.Calls("canClose"), kvCan_d.Kvaser_FindCount());
  }
};

TEST_F(KvaserSearch, ChannelsAreExaminedFromIndexZeroThenClosed) {
  kvaser.Configure("kvaser name=\"Leaf (channel 0)\"\nkvaser name=\"USBcan (channel 1)\"\n");
  FindChannels();
  EXPECT_EQ(
      kvaser.CallLog(),
      (Calls{"canInitializeLibrary()", "canGetNumberOfChannels()", "canOpenChannel(0,128)",
             "canGetChannelData(0,13,64)", "canOpenChannel(1,128)", "canGetChannelData(1,13,64)",
             "canBusOff(0)", "canClose(0)", "canBusOff(1)", "canClose(1)"}));
  EXPECT_EQ(pump.passes, 3);  // after initialising, and after each channel
  EXPECT_EQ(Channels(), (Calls{"0:Leaf (channel 0)", "1:USBcan (channel 1)"}));
}

// A held channel is skipped, an unnamed one kept; of forty channels the
// catalogue's thirty are examined, all open at once until the end.
TEST_F(KvaserSearch, CatalogueSkipsHeldChannelsAndKeepsUnnamedOnes) {
  Calls thirty;
  for (int c = 0; c < 30; ++c) {
    thirty.push_back(std::to_string(c) + ":Kvaser Sim (channel " + std::to_string(c) + ")");
  }
  const std::tuple<const char*, long long, Calls> cases[] = {
      {"kvaser name=first held\nkvaser name=second", 2, {"1:second"}},
      {"kvaser name=first name_status=-1\nkvaser name=\"\"\nkvaser name=third",
       3,
       {"0:", "1:", "2:third"}},
      {"", 0, {}},
      {"kvaser name=a\nfault canGetNumberOfChannels result=-8", 0, {}},
      {"kvaser-count 40", 30, thirty},
  };
  for (const auto& [config, opens, listed] : cases) {
    kvaser.Configure(config);
    kvCan_d.Param_ALL_Clear();  // no name may be left from the case before
    FindChannels();
    EXPECT_EQ(Channels(), listed) << config;
    EXPECT_EQ(kvaser.Calls("canOpenChannel"), opens) << config;
    ExpectEveryChannelClosed();
  }
}

// The second entry is probed by its channel number, 2 here.
TEST_F(KvaserSearch, TheSecondChannelIsProbedByItsChannelNumber) {
  kvaser.Configure(
      "kvaser name=a held\nkvaser name=b serial=1\n"
      "kvaser name=c serial=77 firmware=0x0003000400000123 upc=0x0007330130004321\n");
  FindChannels();
  device.set_t_CmbBOX_device_SelectNo(2);
  const auto info = Show_SelectedDevice_Info(families);
  EXPECT_EQ(kvCan_d.KvCAN_SelectNo(), 2);
  EXPECT_EQ(info.TB_ODB_Hard_Version, "P/N：73-30130-00432-1  S/N：77  FW：3.4.291");
  EXPECT_EQ(kvaser.CallsStartingWith("canGetChannelData(2,"),
            (Calls{"canGetChannelData(2,13,64)", "canGetChannelData(2,7,8)",
                   "canGetChannelData(2,9,8)", "canGetChannelData(2,11,8)"}));
}

TEST(KvaserInfoText, DigitsOfTheThreeValues) {
  // The serial number's low word is read as signed; a zero UPC keeps one digit.
  EXPECT_EQ(Kvaser_Info_Text(0x00000005FFFFFFFFull, 0, 0),
            "P/N：0-00000-00000-0  S/N：-1  FW：0.0.0");
  // Firmware digits 9..16 read as a signed 32-bit number; hex digits upper-case.
  EXPECT_EQ(Kvaser_Info_Text(0, 0xFFFF0001FFFFFFFEull, 0xABCDEF0B0C0D0E01ull),
            "P/N：ABCDE-F0B0C-0D0E0-1  S/N：0  FW：65535.1.-2");
}

}  // namespace
}  // namespace telpod
