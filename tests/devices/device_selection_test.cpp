#include "devices/device_selection.h"

#include <gtest/gtest.h>

#include "devices/canusb/find_canusb_adapters.h"
#include "devices/ifcan/find_interface_boards.h"
#include "devices/kvaser/find_kvaser_channels.h"
#include "devices/kvaser/kvaser_device_info.h"
#include "devices/sim_control.h"
#include "platform/driver_folders.h"
#include "support/engine_fakes.h"

namespace telpod {
namespace {

using test::SimulatorPath;

class DeviceSelection : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(drivers.canusb && drivers.ifcan && drivers.canlib);
    usb.Reset();
    boards.Reset();
    kvaser.Reset();
  }
  // Fills the catalogues from the simulators as start-up does.
  void Discover(const std::string& usb_config, const std::string& board_config,
                const std::string& kvaser_config) {
    usb.Configure(usb_config);
    boards.Configure(board_config);
    kvaser.Configure(kvaser_config);
    Find_CANUSB_Adapters(device, CAN_d, *drivers.canusb, pump);
    Find_Interface_Boards(device, IfCan_u, IfCan_d, *drivers.ifcan, pump);
    Find_Kvaser_Channels(device, kvCan_u, kvCan_d, *drivers.canlib, pump);
  }
  SelectedDeviceInfo Select(int32_t position) {
    device.set_t_CmbBOX_device_SelectNo(position);
    return Show_SelectedDevice_Info(device, CAN_u, CAN_d, IfCan_u, IfCan_d, kvCan_u, kvCan_d,
                                    drivers);
  }

  DriverSet drivers = test::LoadSimulatedDrivers();
  test::SimControl usb{platform::kCanusbLibraryFile};
  test::SimControl boards{platform::kIfCanLibraryFile};
  test::SimControl kvaser{platform::kCanlibLibraryFile};
  test::ScriptedPump pump;
  ELM327_Info device;
  CANUSB CAN_u;
  CAN_DB CAN_d;
  InterfaceCAN IfCan_u;
  CAN_DB_Interface IfCan_d;
  KvaserCAN kvCan_u;
  CAN_DB_Kvaser kvCan_d;
};

TEST_F(DeviceSelection, PositionsResolveAcrossTheFamilies) {
  Discover("canusb serial=LW000001\n",
           "ifcan port=2 device=0x12F3 subsystem=0x2094 revision=1 channel=1 physical=1\n"
           "ifcan port=7 device=0x1234 subsystem=0x1 revision=3 channel=2 physical=0\n",
           "kvaser name=\"Kvaser Leaf Light v2 (channel 0)\"\n");
  EXPECT_EQ(Device_List_Entries(CAN_d, IfCan_d, kvCan_d),
            (std::vector<std::string>{"CANUSB LW000001", "Interface PCI-485120 port:2",
                                      "Interface  port:7", "Kvaser Leaf Light v2 (channel 0)"}));

  Select(1);
  EXPECT_EQ(device.t_select_Vender(), 1);
  EXPECT_EQ(CAN_d.CAN_USB_SelectNo(), 1);

  auto info = Select(2);
  EXPECT_EQ(device.t_select_Vender(), 2);
  EXPECT_EQ(IfCan_d.Interface_CAN_SelectNo(), 1);
  EXPECT_EQ(info.result, 1);
  EXPECT_EQ(info.TB_ODB_Hard_Version, "Interface PCI-485120 RevID:1 ch:1 高速CAN対応");

  info = Select(3);
  EXPECT_EQ(device.t_select_Vender(), 2);
  EXPECT_EQ(IfCan_d.Interface_CAN_SelectNo(), 2);
  EXPECT_EQ(info.TB_ODB_Hard_Version, "Interface  RevID:3 ch:2");

  Select(4);
  EXPECT_EQ(device.t_select_Vender(), 3);
  EXPECT_EQ(kvCan_d.KvCAN_SelectNo(), 1);
}

TEST_F(DeviceSelection, PositionPastTheEndOrBeforeTheStartNamesNoDevice) {
  Discover("canusb serial=LW000001\n", "", "");
  for (int32_t position : {2, 0, -1}) {
    device.set_t_select_Vender(1);
    const auto info = Select(position);
    EXPECT_EQ(device.t_select_Vender(), 0) << position;
    EXPECT_EQ(info.result, 0);
    EXPECT_FALSE(info.TB_ODB_Hard_Version.has_value());
  }
  EXPECT_EQ(usb.Calls("canusb_Open"), 0);
}

TEST_F(DeviceSelection, CanusbLineIsTheVersionReadBetweenOpenAndClose) {
  Discover("canusb serial=LW000001\ncanusb serial=LW000002 version=\"V2.1 HW1\"\n", "", "");
  const auto info = Select(2);
  EXPECT_EQ(info.result, 1);
  EXPECT_EQ(info.TB_ODB_Hard_Version, "V2.1 HW1");
  EXPECT_EQ(CAN_d.CAN_USB_SelectSerial(), "LW000002");
  EXPECT_EQ(CAN_d.CAN_USB_Version(), "V2.1 HW1");
  EXPECT_EQ(CAN_d.CAN_USB_Handle(), 2);
  EXPECT_EQ(usb.CallsStartingWith("canusb_Open"),
            (std::vector<std::string>{"canusb_Open(\"LW000002\",\"500\",0,4294967295,1)"}));
  const auto log = usb.CallLog();
  EXPECT_EQ(std::vector<std::string>(log.end() - 2, log.end()),
            (std::vector<std::string>{"canusb_VersionInfo(2)", "canusb_Close(2)"}));
}

TEST_F(DeviceSelection, CanusbWithoutVersionShowsQuestionMarks) {
  Discover("canusb serial=LW000001 version_result=0\n", "", "");
  const auto info = Select(1);
  EXPECT_EQ(info.TB_ODB_Hard_Version, "???");
  EXPECT_EQ(info.result, 1);
}

TEST_F(DeviceSelection, CanusbCloseResultIsTheResultReadByItsLowBits) {
  Discover("canusb serial=LW000001 close=-9\n", "", "");
  EXPECT_EQ(Select(1).result, -9);
  usb.Configure("canusb serial=LW000001 close=0x10001\n");
  EXPECT_EQ(Select(1).result, 1);
}

TEST_F(DeviceSelection, CanusbThatDoesNotOpenGivesZeroAndLeavesTheText) {
  Discover("canusb serial=LW000001 open=fail\n", "", "");
  const auto info = Select(1);
  EXPECT_EQ(device.t_select_Vender(), 1);
  EXPECT_EQ(info.result, 0);
  EXPECT_FALSE(info.TB_ODB_Hard_Version.has_value());
  EXPECT_EQ(usb.Calls("canusb_VersionInfo"), 0);
  EXPECT_EQ(usb.Calls("canusb_Close"), 0);
}

TEST_F(DeviceSelection, SecondKvaserChannelIsAddressedByItsChannelNumber) {
  Discover("", "",
           "kvaser name=a held\n"
           "kvaser name=b serial=1\n"
           "kvaser name=c serial=77 firmware=0x0003000400000123 upc=0x0007330130004321\n");
  EXPECT_EQ(Device_List_Entries(CAN_d, IfCan_d, kvCan_d), (std::vector<std::string>{"b", "c"}));
  const auto info = Select(2);
  EXPECT_EQ(device.t_select_Vender(), 3);
  EXPECT_EQ(kvCan_d.KvCAN_SelectNo(), 2);
  EXPECT_EQ(info.result, 1);
  EXPECT_EQ(info.TB_ODB_Hard_Version, "P/N：73-30130-00432-1  S/N：77  FW：3.4.291");
  EXPECT_EQ(kvaser.CallsStartingWith("canGetChannelData(2,"),
            (std::vector<std::string>{"canGetChannelData(2,13,64)", "canGetChannelData(2,7,8)",
                                      "canGetChannelData(2,9,8)", "canGetChannelData(2,11,8)"}));
}

TEST_F(DeviceSelection, FamilyWithoutItsLibraryGivesNoLine) {
  Discover("canusb serial=LW000001\n", "", "");
  drivers.canusb.reset();
  const auto info = Select(1);
  EXPECT_EQ(info.result, 0);
  EXPECT_FALSE(info.TB_ODB_Hard_Version.has_value());
}

TEST(KvaserInfoText, DigitsOfTheThreeValues) {
  EXPECT_EQ(HexDigits16(0x0007330130004321ull), "0007330130004321");
  EXPECT_EQ(HexDigits16(0xABCDEF0000000001ull), "ABCDEF0000000001");
  EXPECT_EQ(Kvaser_Info_Text(12345, 0x0003000400000123ull, 0x0007330130004321ull),
            "P/N：73-30130-00432-1  S/N：12345  FW：3.4.291");
  // The serial number's low word is read as signed; a zero UPC keeps one digit.
  EXPECT_EQ(Kvaser_Info_Text(0x00000005FFFFFFFFull, 0, 0),
            "P/N：0-00000-00000-0  S/N：-1  FW：0.0.0");
  // Firmware digits 9..16 read as a signed 32-bit number.
  EXPECT_EQ(Kvaser_Info_Text(0, 0xFFFF0001FFFFFFFEull, 0x000A0B0C0D0E0F01ull),
            "P/N：A0-B0C0D-0E0F0-1  S/N：0  FW：65535.1.-2");
}

}  // namespace
}  // namespace telpod
