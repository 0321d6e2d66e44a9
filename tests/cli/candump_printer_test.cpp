#include "cli/candump_printer.h"

#include <gtest/gtest.h>

#include <sstream>
#include <tuple>

#include "model/family.h"
#include "support/fake_socketcan_system.h"

namespace telpod {
namespace {

using std::chrono::microseconds;
using std::chrono::system_clock;

TEST(CandumpLine, TheLogFormatCandumpReadersTake) {
  // Identifier, 29 bits, length, microseconds since the epoch, the line.
  const std::tuple<int32_t, bool, uint8_t, int64_t, const char*> cases[] = {
      {0x7DF, false, 2, 1733480000123456, "(1733480000.123456) can9 7DF#0102\n"},
      {0x18DAF110, true, 8, 1733480000000001,
       "(1733480000.000001) can9 18DAF110#0102030405060708\n"},
      {0x1, false, 0, 5, "(0.000005) can9 001#\n"},
      {0x1, true, 1, 1000000, "(1.000000) can9 00000001#01\n"},
      // A length above 8 shows the eight bytes a frame can hold.
      {0x123, false, 15, 1733480000999999, "(1733480000.999999) can9 123#0102030405060708\n"},
  };
  CanFrame frame;
  frame.data = {1, 2, 3, 4, 5, 6, 7, 8};
  for (const auto& [id, extended, dlc, micros, line] : cases) {
    frame.id = static_cast<uint32_t>(id);
    frame.extended = extended;
    frame.dlc = dlc;
    EXPECT_EQ(CandumpLine(system_clock::time_point(microseconds(micros)), "can9", frame), line);
  }
  // Remote frames carry no data; their length shows as one digit after R.
  frame.remote = true;
  EXPECT_EQ(CandumpLine(system_clock::time_point(), "can9", frame), "(0.000000) can9 123#R8\n");
  frame.dlc = 0;
  EXPECT_EQ(CandumpLine(system_clock::time_point(), "can9", frame), "(0.000000) can9 123#R\n");
}

TEST(DeviceInterfaceName, WhatEachFamilyKnowsItsDeviceBy) {
  ELM327_Info device;
  FamilyObjects families;
  test::FakeSocketCanSystem kernel;
  const FamilySet set(device, families, kernel);
  families.CAN_d.set_CAN_USB_SelectSerial("LW 00/01");
  families.IfCan_d.set_Interface_CAN_FindNo(2, 17);
  families.IfCan_d.set_Interface_CAN_SelectNo(2);
  families.kvCan_d.set_Kvaser_DevChannel(1, 3);
  families.kvCan_d.set_KvCAN_SelectNo(2);
  families.sockCan_d.set_SocketCAN_IfName(1, "vcan0");
  families.sockCan_d.set_SocketCAN_SelectNo(1);
  const std::pair<Family, const char*> cases[] = {
      {Family::CANUSB, "canusb-LW_00_01"},
      {Family::Interface, "ifcan17"},
      {Family::Kvaser, "kvaser3"},
      {Family::SocketCAN, "vcan0"},
      {Family::None, "none"},
  };
  for (const auto& [family, name] : cases) {
    device.set_t_select_Vender(FamilyNumber(family));
    EXPECT_EQ(DeviceInterfaceName(set), name);
  }
}

// Printing only what the device took is for the telpod-send tests to see;
// quiet still counts it.
TEST(CandumpPrinter, QuietCountsTheFramesTheDeviceTookAndPrintsNothing) {
  std::ostringstream out;
  CandumpPrinter printer(out, "canusb-LW000001", true);
  for (const bool taken : {true, false, true}) printer.Written(CanFrame(), taken);
  EXPECT_EQ(printer.frames_written(), 2);
  EXPECT_EQ(out.str(), "");
}

}  // namespace
}  // namespace telpod
