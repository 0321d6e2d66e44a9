// The frame log a connection writes, as the demo writes it, is plain
// candump: python-can's LogReader takes every line and finds the frames the
// drivers were handed.
#include <gtest/gtest.h>

#include "devices/connections/connection_fixture.h"
#include "support/python_can_reader.h"
#include "support/temp_folder.h"

namespace telpod {
namespace {

using test::ConnectionTest;

TEST_F(ConnectionTest, FrameLogOfEveryFamilyReadsBackInPythonCan) {
  test::TempFolder folder;
  const std::string log = folder.File("frames.log");
  SetRow(0, 0x7DF, false, 3, 0x11);
  SetRow(1, 0x18DAF110, true, 8, 0xA1);
  SetRow(2, 0x000, false, 0, 0);
  const std::pair<Family, std::string> families[] = {
      {Family::CANUSB, "canusb"}, {Family::Interface, "ifcan"}, {Family::Kvaser, "kvaser"}};
  std::vector<std::string> expected;
  for (const auto& [family, interface] : families) {
    Sim(family).SetLog(log);  // the three libraries share the file, as in the demo
    for (int16_t row = 0; row < 3; ++row) db.set_CAN_SendOperation(row, 1);
    Run(family);
    Sim(family).SetLog("");
    for (const cansim_frame& frame : Sim(family).Frames()) {
      expected.push_back(test::FrameLine(interface + std::to_string(frame.device), frame));
    }
  }
  ASSERT_EQ(expected.size(), 9u);
  EXPECT_EQ(expected[1], "canusb0 18DAF110 X D 8 A1A2A3A4A5A6A7A8");
  EXPECT_EQ(test::ReadWithPythonCan(log), expected);
}

}  // namespace
}  // namespace telpod
