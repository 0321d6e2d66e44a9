// Each family's discovery into its catalogue, and the tables board entries
// are read with.
#include <gtest/gtest.h>

#include "devices/ifcan/ifcan_model_name.h"
#include "devices/simulated_devices.h"

namespace telpod {
namespace {

using Calls = std::vector<std::string>;

class Discovery : public test::SimulatedDevices {
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
  // Every handle discovery opened is taken off the bus and closed once all
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

std::string Adapters(int n) {
  std::string config;
  for (int i = 1; i <= n; ++i) config += "canusb serial=SIM" + std::to_string(10000 + i) + "\n";
  return config;
}

// Adapters are listed in report order and never opened; the first report's
// result counts them.
TEST_F(Discovery, CanusbSearchEndsAtTheFirstNonAdapterAtTheCountOrAtCapacity) {
  // Configuration, capacity (0: as cleared), count, next-adapter calls (each
  // after running events), the last serial number listed.
  const std::tuple<std::string, int32_t, int32_t, long long, std::string> cases[] = {
      {Adapters(5), 2, 2, 1, "SIM10002"},
      {Adapters(31), 0, 30, 29, "SIM10030"},
      // A library that would start over after the second adapter.
      {"canusb serial=LW0000A1 report=2\ncanusb serial=LW0000B2\ncanusb serial=LW0000A1", 0, 2, 1,
       "LW0000B2"},
      // Fewer than seven characters is no adapter.
      {"canusb serial=LW1234\ncanusb serial=LW123456", 0, 0, 0, ""},
      {"canusb serial=LW123456\ncanusb serial=LW12\ncanusb serial=LW654321", 0, 1, 1, "LW123456"},
      {"", 0, 0, 0, ""},
      {"canusb serial=LW000001\nfault canusb_getFirstAdapter result=-1", 0, 0, 0, ""},
      // Results count by their low 16 bits: 0x10000 is 0, 0x1FFFF is -1, 0xFFFF0001 is 1.
      {"canusb serial=LW000001 report=0x10000", 0, 0, 0, ""},
      {"canusb serial=LW000001\ncanusb serial=LW000002 report=0x1FFFF", 0, 1, 1, "LW000001"},
      {"canusb serial=LW000001 report=0xFFFF0001\ncanusb serial=LW000002", 0, 1, 0, "LW000001"},
  };
  for (const auto& [config, capacity, count, next_calls, last] : cases) {
    usb.Configure(config);
    CAN_d.Param_ALL_Clear();
    if (capacity) CAN_d.set_CAN_USB_FindCount_MAX(capacity);
    pump.passes = 0;
    FindAdapters();
    EXPECT_EQ(CAN_d.CAN_USB_FindCount(), count) << config;
    EXPECT_EQ(CAN_d.CAN_USB_FindSerialNo(static_cast<int16_t>(count)), last) << config;
    const Calls log = usb.CallLog();
    EXPECT_EQ(log.front(), "canusb_getFirstAdapter(64)");
    EXPECT_EQ(Calls(log.begin() + 1, log.end()), Calls(next_calls, "canusb_getNextAdapter(64)"))
        << config;
    EXPECT_EQ(pump.passes, next_calls) << config;
  }
}

// Every port is tried and closed with the handle its open returned; a port
// that does not open is skipped, a board whose information read fails stays
// listed with zeros.
TEST_F(Discovery, BoardsAreListedByPortWithTheirInformation) {
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
  EXPECT_EQ(boards.Calls("CanOpenPort"), 255);
  EXPECT_EQ(boards.Calls("CanClosePort"), 255);
}

TEST_F(Discovery, BoardsOnEveryPortFillTheCatalogue) {
  std::string config;
  for (int port = 1; port <= 255; ++port) config += "ifcan port=" + std::to_string(port) + "\n";
  boards.Configure(config);
  FindBoards();
  EXPECT_EQ(IfCan_d.Interface_CAN_FindCount(), 255);
  EXPECT_EQ(IfCan_d.Interface_CAN_FindNo(255), 255);
  EXPECT_EQ(boards.Calls("CanClosePort"), 255);
}

TEST_F(Discovery, KvaserChannelsAreExaminedFromIndexZeroThenClosed) {
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
TEST_F(Discovery, KvaserCatalogueSkipsHeldChannelsAndKeepsUnnamedOnes) {
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

TEST(Catalogues, IndexOutsideTheArraysReadsEmptyAndWritesNothing) {
  CAN_DB usb;
  CAN_DB_Interface boards;
  CAN_DB_Kvaser channels;
  for (int16_t index : {-1, 31}) {
    usb.set_CAN_USB_FindSerialNo(index, "LW999999");
    channels.set_Kvaser_DevChannel(index, 5);
    EXPECT_EQ(usb.CAN_USB_FindSerialNo(index), "");
    EXPECT_EQ(channels.Kvaser_DevChannel(index), 0);
  }
  boards.set_IfCAN_info_ulDeviceID(256, 5);
  EXPECT_EQ(boards.IfCAN_info_ulDeviceID(256), 0);
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
