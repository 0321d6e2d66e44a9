#pragma once

#include <gtest/gtest.h>

#include <string>

#include "send/can_senddb.h"
#include "settings/elm327_info.h"
#include "support/engine_fakes.h"
#include "support/temp_folder.h"

namespace telpod::test {

// A temporary folder, a device with the workbook engine present and a
// message recorder.
class XlsTest : public ::testing::Test {
 protected:
  XlsTest() { device.set_ExcelInstallCheck(1); }
  // The folder as the dialogs hand it over: with a trailing separator.
  std::string Folder() const { return folder.path() + "/"; }
  // The one message shown so far, with the export's title.
  void ExpectOneExportMessage(const std::string& text, platform::MessageIcon icon) const {
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].title, "設定 Export");
    EXPECT_EQ(messages.shown[0].text, text);
    EXPECT_EQ(messages.shown[0].icon, icon);
  }

  TempFolder folder;
  ELM327_Info device;
  RecordingMessages messages;
};

// Tables that use every corner of the fields: 29-bit and 11-bit
// identifiers up to 1FFFFFFF, DLC 0..8, fractional periods and, over
// variants 0..3, every data byte value 0..255.
CAN_SendDB SampleTable(int variant);

// A table filled with values no import produces, to see what is touched.
CAN_SendDB ScribbledTable();

// Compares the fields the files carry, row by row.
void ExpectSameRows(const CAN_SendDB& expected, const CAN_SendDB& actual);

// Runs the system Python (the one with Debian's xlrd and xlwt) on a script
// of this folder; returns its exit status.
int RunPython(const std::string& script, const std::string& arguments);

}  // namespace telpod::test
