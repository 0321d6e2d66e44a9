#include "devices/device_selection.h"

#include <gtest/gtest.h>

#include <limits>

#include "devices/kvaser/kvaser_device_info.h"
#include "devices/simulated_devices.h"

// The device list through the window (entries, families, lines) is checked
// by the start-up tests; these cover the probes behind each line.
namespace telpod {
namespace {

using Calls = std::vector<std::string>;

class DeviceSelection : public test::SimulatedDevices {
 protected:
  SelectedDeviceInfo Select(int32_t position) {
    device.set_t_CmbBOX_device_SelectNo(position);
    return Show_SelectedDevice_Info(device, CAN_u, CAN_d, IfCan_u, IfCan_d, kvCan_u, kvCan_d,
                                    drivers);
  }
};

// A position before the list names no device; a family whose library is
// absent gives no line either.
TEST_F(DeviceSelection, NoLineWithoutADeviceOrItsLibrary) {
  FindAdapters();
  for (int32_t position : {0, -1}) {
    device.set_t_select_Vender(1);
    const auto info = Select(position);
    EXPECT_EQ(device.t_select_Vender(), 0) << position;
    EXPECT_EQ(info.result, 0);
    EXPECT_FALSE(info.TB_ODB_Hard_Version.has_value());
  }
  EXPECT_EQ(usb.Calls("canusb_Open"), 0);
  drivers.canusb.reset();
  const auto info = Select(1);
  EXPECT_EQ(info.result, 0);
  EXPECT_FALSE(info.TB_ODB_Hard_Version.has_value());
}

TEST_F(DeviceSelection, CanusbLineIsTheVersionReadBetweenOpenAndClose) {
  // The second adapter's settings; the result, the line, and how many of
  // open, version read and close the probe made.
  const std::tuple<const char*, int32_t, std::optional<std::string>, size_t> cases[] = {
      {"version=\"V2.1 HW1\"", 1, "V2.1 HW1", 3},
      {"version_result=0", 1, "???", 3},
      {"version=V1 close=-9", -9, "V1", 3},
      {"version=V1 close=0x10001", 1, "V1", 3},  // read by its low 16 bits
      {"open=fail", 0, std::nullopt, 1},
  };
  const Calls probe{"canusb_Open(\"LW000002\",\"500\",0,4294967295,1)", "canusb_VersionInfo(2)",
                    "canusb_Close(2)"};
  for (const auto& [config, result, line, calls] : cases) {
    usb.Configure(std::string("canusb serial=LW000001\ncanusb serial=LW000002 ") + config);
    CAN_d.Param_ALL_Clear();
    FindAdapters();
    const size_t before = usb.CallLog().size();
    const auto info = Select(2);
    EXPECT_EQ(device.t_select_Vender(), 1);
    EXPECT_EQ(info.result, result) << config;
    EXPECT_EQ(info.TB_ODB_Hard_Version, line) << config;
    EXPECT_EQ(usb.CallLog(before), Calls(probe.begin(), probe.begin() + calls)) << config;
  }
}

// The probe opens the adapter at the rate the next Connect uses, never at
// one the bus may not run at; an index that names no rate opens nothing.
TEST_F(DeviceSelection, CanusbProbeOpensAtTheCommonSettingsRate) {
  usb.Configure("canusb serial=LW000001 version=V1");
  FindAdapters();
  const std::pair<int32_t, std::string> rates[] = {
      {0, "1000"}, {1, "800"}, {2, "500"}, {3, "250"},
      {4, "100"},  {5, "50"},  {6, "20"},  {7, "10"},
      {8, "125"},  {9, ""},    {-1, ""},   {std::numeric_limits<int32_t>::min(), ""}};
  for (const auto& [index, text] : rates) {
    device.set_t_bitRate(index);
    const size_t before = usb.CallLog().size();
    const auto info = Select(1);
    const Calls calls = usb.CallLog(before);
    if (text.empty()) {
      EXPECT_TRUE(calls.empty()) << index;
      EXPECT_EQ(info.result, 0) << index;
      EXPECT_FALSE(info.TB_ODB_Hard_Version.has_value()) << index;
    } else {
      ASSERT_FALSE(calls.empty()) << index;
      EXPECT_EQ(calls.front(), "canusb_Open(\"LW000001\",\"" + text + "\",0,4294967295,1)");
      EXPECT_EQ(info.TB_ODB_Hard_Version, "V1") << index;
    }
  }
}

TEST_F(DeviceSelection, SecondKvaserChannelIsProbedByItsChannelNumber) {
  kvaser.Configure(
      "kvaser name=a held\nkvaser name=b serial=1\n"
      "kvaser name=c serial=77 firmware=0x0003000400000123 upc=0x0007330130004321\n");
  FindChannels();
  const auto info = Select(2);
  EXPECT_EQ(kvCan_d.KvCAN_SelectNo(), 2);
  EXPECT_EQ(info.result, 1);
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
