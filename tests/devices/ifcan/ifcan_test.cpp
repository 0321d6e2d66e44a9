// The Interface board family: the contract on its simulator, and what only
// it does.
#include <gtest/gtest.h>

#include "abi/le_bytes.h"
#include "devices/contract/family_contract.h"
#include "devices/ifcan/ifcan_model_name.h"
#include "devices/simulated_devices.h"
#include "platform/driver_folders.h"

namespace telpod {
namespace {

using test::FamilyContract;
using test::FamilyRun;
using Calls = std::vector<std::string>;
using Bytes = std::vector<uint8_t>;

class IfCanBench final : public test::SimulatorBench {
 public:
  IfCanBench()
      : SimulatorBench(
            platform::kIfCanLibraryFile,
            "ifcan port=1 device=0x12F3 subsystem=0x2094 revision=1 channel=1 physical=1",
            "ifcan port=4 device=0x1111 subsystem=0x2222 revision=3 channel=2 physical=0",
            {"write=0xC0000007", "txqueue=0", "busoff"},
            {"Interface",
             {"Interface PCI-485120 port:1", "Interface  port:4"},
             {"Interface PCI-485120 RevID:1 ch:1 高速CAN対応", "Interface  RevID:3 ch:2"},
             {"39", "", "295", "570", "2358", "7459", "", "", "1338"},
             {"CanDeactivate(1)", "CanClosePort(1)"},
             false,
             false}) {}
  // The rate code, the last word of the configuration handed back.
  std::string RateOnDevice() const override {
    const Bytes config = sim.LastRecord("CanSetConfig");
    return config.size() < 28 ? "" : std::to_string(static_cast<int32_t>(GetLe32(&config[24])));
  }
};

INSTANTIATE_TEST_SUITE_P(Interface, FamilyContract,
                         ::testing::Values(test::MakerOf<IfCanBench>("Interface")));

// Bytes from hex digits; blanks only group them.
Bytes Hex(const std::string& digits) {
  Bytes bytes;
  for (size_t i = 0; i < digits.size(); i += digits[i] == ' ' ? 1 : 2) {
    if (digits[i] != ' ')
      bytes.push_back(static_cast<uint8_t>(std::stoi(digits.substr(i, 2), nullptr, 16)));
  }
  return bytes;
}

class IfCanTest : public ::testing::Test {
 protected:
  // Start-up on the boards of `config`, then one connection; the text the
  // status box keeps.
  std::string StartAndConnect(const std::string& config) {
    bench.sim.Configure(config);
    run.StartUp();
    return run.Connect();
  }

  IfCanBench bench;
  FamilyRun run{bench};
};

// The configuration goes back as the board gave it, with the normal mode
// and the rate's code; each row is one 24-byte message record: length,
// reserved word, identifier (bit 31 for 29 bits), data, a zero word.
TEST_F(IfCanTest, RecordsOfTheConfigurationAndOfEachRow) {
  StartAndConnect("ifcan port=1 config=7,0xA1,0xA2,0xA3,0xA4,0xA5,9");
  EXPECT_EQ(bench.sim.LastRecord("CanSetConfig"),
            Hex("00000000 A1000000 A2000000 A3000000 A4000000 A5000000 27010000"));
  const auto frames = bench.sim.Frames();
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(Bytes(frames[0].raw, frames[0].raw + frames[0].raw_size),
            Hex("03000000 00000000 DF070000 1112131415161718 00000000"));
  EXPECT_EQ(Bytes(frames[1].raw, frames[1].raw + frames[1].raw_size),
            Hex("08000000 00000000 10F1DA98 A1A2A3A4A5A6A7A8 00000000"));
}

// The close status is the connection's result, and its text stays in the
// status box.
TEST_F(IfCanTest, AConnectionInItsOrderLeavesTheCloseStatusText) {
  EXPECT_EQ(StartAndConnect("ifcan port=1 close=0xC000000D"), "USB communicate Timeout.");
  EXPECT_EQ(run.Journal(), (Calls{"CanOpenPort(\"IFCAN1\")", "CanGetConfig(1)", "protocol:500k bps",
                                  "status:通信中", "CanSetConfig(1)", "CanActivate(1)",
                                  "CanSendMessage(1,1)", "CanSendMessage(1,1)", "live:通信中",
                                  "status:終了処理中", "CanDeactivate(1)", "CanClosePort(1)"}));
}

// A board that does not open, or refuses its configuration, is closed, then
// closed again with handle -1, whose status the box keeps; so does a
// missing library's.
TEST_F(IfCanTest, AFailedOpenClosesWithTheNoHandleAndLeavesItsStatusText) {
  const std::tuple<const char*, Calls> cases[] = {
      {"ifcan port=1 getconfig=0xC0000009",
       {"CanOpenPort(\"IFCAN1\")", "CanGetConfig(1)", "CanClosePort(1)", "CanDeactivate(-1)",
        "CanClosePort(-1)"}},
      // The search has opened each of the 255 ports once.
      {"ifcan port=1\nfault CanOpenPort result=-1 call=256",
       {"CanOpenPort(\"IFCAN1\")", "CanGetConfig(-1)", "CanClosePort(-1)", "CanDeactivate(-1)",
        "CanClosePort(-1)"}},
  };
  for (const auto& [config, journal] : cases) {
    EXPECT_EQ(StartAndConnect(config), "The device handle is invalid.");
    EXPECT_EQ(run.Journal(), journal);
    ASSERT_EQ(run.messages.shown.size(), 1u);
    EXPECT_EQ(run.messages.shown[0].text, "機器が正常に動作していません。\r\n接続を終了します。");
    EXPECT_EQ(run.objects.IfCan_d.Interface_CAN_Handle(), "-1");
  }
  run.families.drivers = DriverSet();
  EXPECT_EQ(run.Connect(), "The current driver cannot be used.");
  EXPECT_EQ(run.RxFlag, 0);
}

class IfCanSearch : public test::SimulatedDevices {
 protected:
  // The nine information words of board n, in record order.
  std::vector<int32_t> BoardInfo(int16_t n) const {
    const auto& d = IfCan_d;
    return {d.IfCAN_info_ulStructLength(n), d.IfCAN_info_ulVendorID(n),
            d.IfCAN_info_ulDeviceID(n),     d.IfCAN_info_ulSubsystemID(n),
            d.IfCAN_info_ulRevisionID(n),   d.IfCAN_info_ulBoardID(n),
            d.IfCAN_info_ulModelNumber(n),  d.IfCAN_info_ulChannelNumber(n),
            d.IfCAN_info_ulPhysicalLayer(n)};
  }
};

// Every port is tried and closed with the handle its open returned; a port
// that does not open is skipped, a board whose information read fails stays
// listed with zeros.
TEST_F(IfCanSearch, BoardsAreListedByPortWithTheirInformation) {
  boards.Configure(
      "ifcan port=2 open=fail\nifcan port=3 info=0xC0000009\n"
      "ifcan port=5 vendor=0x1147 device=0x12F5 subsystem=0x20A8 revision=3 board=7 model=9 "
      "channel=4 physical=0 struct=36\n");
  FindBoards();
  EXPECT_EQ(IfCan_d.Interface_CAN_FindCount(), 2);
  EXPECT_EQ(IfCan_d.Interface_CAN_FindNo(1), 3);
  EXPECT_EQ(BoardInfo(1), std::vector<int32_t>(9, 0));
  EXPECT_EQ(IfCan_d.Interface_CAN_FindNo(2), 5);
  EXPECT_EQ(BoardInfo(2), (std::vector<int32_t>{36, 0x1147, 0x12F5, 0x20A8, 3, 7, 9, 4, 0}));
  const Calls log = boards.CallLog();
  ASSERT_EQ(log.size(), 255u * 2 + 2);
  EXPECT_EQ(Calls(log.begin(), log.begin() + 12),
            (Calls{"CanOpenPort(\"IFCAN1\")", "CanClosePort(-1)", "CanOpenPort(\"IFCAN2\")",
                   "CanClosePort(-1)", "CanOpenPort(\"IFCAN3\")", "CanGetPortInformation(2)",
                   "CanClosePort(2)", "CanOpenPort(\"IFCAN4\")", "CanClosePort(-1)",
                   "CanOpenPort(\"IFCAN5\")", "CanGetPortInformation(3)", "CanClosePort(3)"}));
  EXPECT_EQ(Calls(log.end() - 2, log.end()),
            (Calls{"CanOpenPort(\"IFCAN255\")", "CanClosePort(-1)"}));
}

TEST_F(IfCanSearch, BoardsOnEveryPortFillTheCatalogue) {
  std::string config;
  for (int port = 1; port <= 255; ++port) config += "ifcan port=" + std::to_string(port) + "\n";
  boards.Configure(config);
  FindBoards();
  EXPECT_EQ(IfCan_d.Interface_CAN_FindCount(), 255);
  EXPECT_EQ(IfCan_d.Interface_CAN_FindNo(255), 255);
  EXPECT_EQ(boards.Calls("CanClosePort"), 255);
}

TEST(InterfaceCAN, StatusTextsOfTheTableAndEmptyOtherwise) {
  const InterfaceCAN board;
  EXPECT_EQ(board.Get_Status_Message(static_cast<int32_t>(0xC000000Du)),
            "USB communicate Timeout.");
  EXPECT_EQ(board.Get_Status_Message(static_cast<int32_t>(0xC000000Fu)), "");
  EXPECT_EQ(board.Get_Status_Message(0), "");
  EXPECT_EQ(board.Get_Status_Message(-1), "");
}

TEST(InterfaceCAN, ModelNameByDeviceAndSubsystemId) {
  EXPECT_EQ(Get_IFCan_ModelName(0x12F3, 0x3894), "PCI-485120");
  EXPECT_EQ(Get_IFCan_ModelName(0x12F6, 0x2894), "CSI-485420");
  EXPECT_EQ(Get_IFCan_ModelName(0x12F4, 0x0201), "CBI-4852");
  EXPECT_EQ(Get_IFCan_ModelName(0x12F3, 0x1234), "");
  EXPECT_EQ(Get_IFCan_ModelName(0, 0), "");
}

}  // namespace
}  // namespace telpod
