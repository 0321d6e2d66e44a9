// The buses the simulators share between processes, as two members of one
// folder see them: here two in one process, each with its own name.
#include "core/shared_bus.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <filesystem>

#include "bus_member.h"
#include "support/temp_folder.h"

namespace cansim {
namespace {

BusFrame Frame(uint32_t id, int64_t when) {
  return {id, id > 0x7FF, false, 2, {0xA1, 0xB2}, when};
}

TEST(SharedBus, MembersOfOneBusReceiveEachOthersFramesInOrder) {
  telpod::test::TempFolder folder;
  telpod::test::ReceivedFrames at_a, at_b, at_c;
  SharedBus a(at_a.Delivery(), "a"), b(at_b.Delivery(), "b"), c(at_c.Delivery(), "c");
  for (SharedBus* member : {&a, &b, &c}) member->Configure(folder.path());
  a.Join("kvaser0");
  b.Join("kvaser0");
  c.Join("kvaser1");  // another channel's bus
  a.Send("kvaser0", Frame(0x123, 1));
  a.Send("kvaser0", Frame(0x18DAF110, 2));
  b.Send("kvaser0", Frame(0x7E8, 3));
  a.Send("kvaser1", Frame(0x456, 4));  // a is not on it: nothing goes out

  const auto at_b_frames = at_b.Wait(2);
  ASSERT_EQ(at_b_frames.size(), 2u);
  for (size_t k = 0; k < 2; ++k) {
    const auto& [bus, frame] = at_b_frames[k];
    EXPECT_EQ(bus, "kvaser0");
    EXPECT_EQ(frame.id, k == 0 ? 0x123u : 0x18DAF110u);
    EXPECT_EQ(frame.extended, k == 1);
    EXPECT_EQ(frame.dlc, 2);
    EXPECT_EQ(frame.data[1], 0xB2);
    EXPECT_EQ(frame.monotonic_ns, static_cast<int64_t>(k + 1));
  }
  const auto at_a_frames = at_a.Wait(1);
  ASSERT_EQ(at_a_frames.size(), 1u);
  EXPECT_EQ(at_a_frames[0].second.id, 0x7E8u);
  a.Configure(std::nullopt);  // the receivers are stopped: nothing more arrives
  b.Configure(std::nullopt);
  c.Configure(std::nullopt);
  EXPECT_EQ(at_b.Wait(0).size(), 2u) << "no frame of its own";
  EXPECT_EQ(at_c.Wait(0).size(), 0u) << "nothing from another channel's bus";
  EXPECT_TRUE(std::filesystem::is_empty(folder.File("kvaser0"))) << "the members left";
}

// A process that died leaves its socket behind; the first sender that
// finds nobody holding it removes it.
TEST(SharedBus, ASocketNobodyHoldsIsRemoved) {
  telpod::test::TempFolder folder;
  telpod::test::ReceivedFrames at_a;
  SharedBus a(at_a.Delivery(), "a");
  a.Configure(folder.path());
  a.Join("canusb0");
  const std::string stale = folder.File("canusb0/4242");
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  stale.copy(address.sun_path, sizeof address.sun_path - 1);
  const int fd = ::socket(AF_UNIX, SOCK_DGRAM, 0);
  ASSERT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  ::close(fd);
  ASSERT_TRUE(std::filesystem::exists(stale));
  a.Send("canusb0", Frame(0x1, 0));
  EXPECT_FALSE(std::filesystem::exists(stale));
}

}  // namespace
}  // namespace cansim
