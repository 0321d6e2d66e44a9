#include <gtest/gtest.h>

#include <cstring>

#include "devices/socketcan/socketcan_frame.h"

namespace telpod {
namespace {

class SocketCanFrameTest : public ::testing::Test {
 protected:
  SocketCanFrameTest() {
    for (int n = 1; n <= 8; ++n) db.set_CAN_Data(n, 0, static_cast<uint8_t>(0x10 * n + n));
  }
  void Row(uint8_t extended, int32_t id, uint8_t dlc) {
    db.set_CAN_Send29(0, extended);
    db.set_CAN_ID(0, id);
    db.set_CAN_DLC(0, dlc);
  }
  CAN_SendDB db;
};

TEST_F(SocketCanFrameTest, ExtendedRowCarriesTheFlagTheIdentifierAndAllEightBytes) {
  Row(1, 0x1ABCDEF0, 8);
  const auto frame = SocketCAN_Frame(db, 0);
  ASSERT_TRUE(frame);
  EXPECT_EQ(frame->can_id, 0x1ABCDEF0u | CAN_EFF_FLAG);
  EXPECT_EQ(frame->len, 8);
  const uint8_t expected[8] = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88};
  EXPECT_EQ(0, std::memcmp(frame->data, expected, 8));
}

TEST_F(SocketCanFrameTest, StandardRowHasNoFlagAndShortLengthsKeepEveryByte) {
  Row(0, 0x7DF, 3);
  const auto frame = SocketCAN_Frame(db, 0);
  ASSERT_TRUE(frame);
  EXPECT_EQ(frame->can_id, 0x7DFu);
  EXPECT_EQ(frame->len, 3);
  EXPECT_EQ(frame->data[7], 0x88);  // bytes past the length are copied all the same
}

TEST_F(SocketCanFrameTest, StoredLengthIsNotClampedSoTheKernelRefusesIt) {
  Row(0, 0x100, 9);
  EXPECT_EQ(SocketCAN_Frame(db, 0)->len, 9);
}

TEST_F(SocketCanFrameTest, IdentifiersOutsideTheirFormatAreNotCutDown) {
  struct Case {
    uint8_t extended;
    int32_t id;
    bool built;
  };
  for (const Case c :
       {Case{0, 0x7FF, true}, Case{0, 0x800, false}, Case{0, 0, true}, Case{1, 0x1FFFFFFF, true},
        Case{1, 0x20000000, false}, Case{1, 0x7FF, true}, Case{0, -1, false}, Case{1, -1, false}}) {
    Row(c.extended, c.id, 8);
    const auto frame = SocketCAN_Frame(db, 0);
    EXPECT_EQ(frame.has_value(), c.built) << int(c.extended) << " " << c.id;
    if (frame) {
      EXPECT_EQ(frame->can_id & CAN_EFF_MASK, static_cast<canid_t>(c.id));
    }
  }
}

}  // namespace
}  // namespace telpod
