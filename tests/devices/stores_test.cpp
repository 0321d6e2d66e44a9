#include <gtest/gtest.h>

#include "devices/canusb/can_db.h"
#include "devices/canusb/canusb.h"
#include "devices/ifcan/can_db_interface.h"
#include "devices/ifcan/ifcan_model_name.h"
#include "devices/ifcan/interface_can.h"
#include "devices/kvaser/can_db_kvaser.h"
#include "devices/kvaser/kvaser_can.h"

namespace telpod {
namespace {

TEST(Catalogues, ParamAllClearRestoresTheDefaults) {
  CAN_DB usb;
  usb.set_CAN_USB_FindCount(4);
  usb.set_CAN_USB_FindCount_MAX(2);
  usb.set_CAN_USB_FindSerialNo(30, "LW123456");
  usb.set_CAN_USB_Handle(9);
  usb.Param_ALL_Clear();
  EXPECT_EQ(usb.CAN_USB_FindCount(), 0);
  EXPECT_EQ(usb.CAN_USB_FindCount_MAX(), 30);
  EXPECT_EQ(usb.CAN_USB_FindSerialNo(30), "");
  EXPECT_EQ(usb.CAN_USB_Handle(), 0);

  CAN_DB_Interface boards;
  boards.set_Interface_CAN_FindNo(255, 7);
  boards.set_IfCAN_info_ulPhysicalLayer(255, 1);
  boards.set_Interface_CAN_Handle("12");
  boards.Param_ALL_Clear();
  EXPECT_EQ(boards.Interface_CAN_FindCount_MAX(), 255);
  EXPECT_EQ(boards.Interface_CAN_FindNo(255), 0);
  EXPECT_EQ(boards.IfCAN_info_ulPhysicalLayer(255), 0);
  EXPECT_EQ(boards.Interface_CAN_Handle(), "0");

  CAN_DB_Kvaser channels;
  channels.set_Kvaser_DevdName(30, "x");
  channels.set_KvCAN_Handle("3");
  channels.Param_ALL_Clear();
  EXPECT_EQ(channels.Kvaser_FindCount_MAX(), 30);
  EXPECT_EQ(channels.Kvaser_DevdName(30), "");
  EXPECT_EQ(channels.KvCAN_Handle(), "0");
}

TEST(Catalogues, IndexOutsideTheArraysReadsEmptyAndWritesNothing) {
  CAN_DB usb;
  usb.set_CAN_USB_FindSerialNo(31, "LW999999");
  usb.set_CAN_USB_FindSerialNo(-1, "LW999999");
  EXPECT_EQ(usb.CAN_USB_FindSerialNo(31), "");
  EXPECT_EQ(usb.CAN_USB_FindSerialNo(-1), "");
  CAN_DB_Interface boards;
  boards.set_IfCAN_info_ulDeviceID(256, 5);
  EXPECT_EQ(boards.IfCAN_info_ulDeviceID(256), 0);
  CAN_DB_Kvaser channels;
  channels.set_Kvaser_DevChannel(31, 5);
  EXPECT_EQ(channels.Kvaser_DevChannel(31), 0);
  EXPECT_EQ(channels.Kvaser_DevChannel(-1), 0);
}

TEST(ConstantClasses, CarryThePublishedValues) {
  CANUSB usb;
  EXPECT_EQ(usb.CAN_BAUD_1M(), "1000");
  EXPECT_EQ(usb.CAN_BAUD_125K(), "125");
  EXPECT_EQ(usb.CANUSB_ACCEPTANCE_MASK_ALL(), -1);
  EXPECT_EQ(usb.CANUSB_FLAG_TIMESTAMP(), 1);
  usb.set_CAN_BAUD_1M("x");
  usb.Param_ALL_Clear();
  EXPECT_EQ(usb.CAN_BAUD_1M(), "1000");

  InterfaceCAN board;
  EXPECT_EQ(board.CAN_BAUDRATE_125k(), 1338);
  EXPECT_EQ(board.CAN_BAUDRATE_50k(), 7459);
  EXPECT_EQ(board.CAN_NORMAL_MODE(), 0);
  EXPECT_EQ(static_cast<uint32_t>(board.IFCAN_ERROR_USBIO_FAILED()), 0xC000000Eu);

  KvaserCAN kvaser;
  EXPECT_EQ(kvaser.canBITRATE_125K(), -4);
  EXPECT_EQ(kvaser.canBITRATE_10K(), -9);
  EXPECT_EQ(kvaser.canOPEN_REQUIRE_INIT_ACCESS(), 0x80);
  EXPECT_EQ(kvaser.canMSG_STD(), 2);
  EXPECT_EQ(kvaser.canMSG_EXT(), 4);
  EXPECT_EQ(kvaser.canCHANNELDATA_CHANNEL_NAME(), 13);
  EXPECT_EQ(kvaser.canERR_NOT_IMPLEMENTED(), -32);
}

TEST(InterfaceCANStatus, TextsOfTheTableAndEmptyOtherwise) {
  InterfaceCAN board;
  EXPECT_EQ(board.Get_Status_Message(static_cast<int32_t>(0xC000000Du)),
            "USB communicate Timeout.");
  EXPECT_EQ(board.Get_Status_Message(static_cast<int32_t>(0xC0000001u)),
            "The current driver cannot be used.");
  EXPECT_EQ(board.Get_Status_Message(board.IFCAN_ERROR_INVALID_HANDLE()),
            "The device handle is invalid.");
  EXPECT_EQ(board.Get_Status_Message(0), "");
  EXPECT_EQ(board.Get_Status_Message(static_cast<int32_t>(0xC000000Fu)), "");
  EXPECT_EQ(board.Get_Status_Message(-1), "");
}

TEST(InterfaceModelName, ByDeviceAndSubsystemId) {
  EXPECT_EQ(Get_IFCan_ModelName(0x12F3, 0x3894), "PCI-485120");
  EXPECT_EQ(Get_IFCan_ModelName(0x12F3, 0x2094), "PCI-485120");
  EXPECT_EQ(Get_IFCan_ModelName(0x12F6, 0x2894), "CSI-485420");
  EXPECT_EQ(Get_IFCan_ModelName(0x12F4, 0x0201), "CBI-4852");
  EXPECT_EQ(Get_IFCan_ModelName(0x12F3, 0x1234), "");
  EXPECT_EQ(Get_IFCan_ModelName(0, 0), "");
}

}  // namespace
}  // namespace telpod
