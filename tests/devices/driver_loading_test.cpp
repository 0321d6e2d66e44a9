#include <gtest/gtest.h>

#include "devices/canusb/canusb_driver.h"
#include "devices/driver_set.h"
#include "devices/ifcan/ifcan_driver.h"
#include "devices/kvaser/canlib_driver.h"
#include "devices/sim_control.h"
#include "platform/driver_folders.h"
#include "platform/program_folder.h"
#include "support/temp_folder.h"

namespace telpod {
namespace {

using test::SimulatorPath;

TEST(DriverLoading, EachFamilyLoadsItsSimulatorByAbsolutePath) {
  std::string error;
  EXPECT_NE(CanusbDriver::Load(SimulatorPath(platform::kCanusbLibraryFile), &error), nullptr)
      << error;
  EXPECT_NE(IfCanDriver::Load(SimulatorPath(platform::kIfCanLibraryFile), &error), nullptr)
      << error;
  EXPECT_NE(CanlibDriver::Load(SimulatorPath(platform::kCanlibLibraryFile), &error), nullptr)
      << error;
}

TEST(DriverLoading, MissingEntryPointIsNamedInTheError) {
  std::string error;
  EXPECT_EQ(CanusbDriver::Load(INCOMPLETE_CANUSB_PATH, &error), nullptr);
  EXPECT_NE(error.find("canusb_Write"), std::string::npos) << error;
  EXPECT_NE(error.find(INCOMPLETE_CANUSB_PATH), std::string::npos) << error;
}

TEST(DriverLoading, AnotherFamilysLibraryLacksTheEntryPoints) {
  std::string error;
  EXPECT_EQ(CanlibDriver::Load(SimulatorPath(platform::kIfCanLibraryFile), &error), nullptr);
  EXPECT_NE(error.find("canInitializeLibrary"), std::string::npos) << error;
}

TEST(DriverLoading, FileThatIsNoLibraryGivesAnError) {
  test::TempFolder folder;
  const std::string path = folder.File("libcanusbdrv.so");
  test::WriteFile(path, std::string("\x7F"
                                    "ELF garbage \x01\x02\x03\xFF",
                                    18) +
                            std::string(300, 'x'));
  std::string error;
  EXPECT_EQ(CanusbDriver::Load(path, &error), nullptr);
  EXPECT_NE(error.find("cannot load"), std::string::npos) << error;
  EXPECT_EQ(IfCanDriver::Load(folder.File("missing.so"), &error), nullptr);
  EXPECT_FALSE(error.empty());
}

TEST(DriverLoading, RelativePathIsRefused) {
  std::string error;
  EXPECT_EQ(CanusbDriver::Load("drivers/libcanusbdrv.so", &error), nullptr);
  EXPECT_NE(error.find("not an absolute path"), std::string::npos) << error;
}

TEST(DriverSet, LoadsFromTheProgramsDriverFolder) {
  platform::ScopedProgramFolder program(TELPOD_PROGRAM_DIR);
  DriverSet drivers;
  std::string error;
  EXPECT_TRUE(drivers.LoadCanusb(&error)) << error;
  EXPECT_TRUE(drivers.LoadIfCan(&error)) << error;
  EXPECT_TRUE(drivers.LoadCanlib(&error)) << error;
  ASSERT_NE(drivers.canlib, nullptr);
  EXPECT_EQ(drivers.canlib->path(), SimulatorPath(platform::kCanlibLibraryFile));
}

TEST(DriverSet, FamilyWithoutItsFileStaysAbsent) {
  test::TempFolder folder;
  platform::ScopedProgramFolder program(folder.path());
  if (platform::FindDriverFile(platform::kCanusbLibraryFile)) {
    GTEST_SKIP() << "a CANUSB library is installed on this machine";
  }
  DriverSet drivers;
  std::string error;
  EXPECT_FALSE(drivers.LoadCanusb(&error));
  EXPECT_EQ(drivers.canusb, nullptr);
  EXPECT_NE(error.find(platform::kCanusbLibraryFile), std::string::npos) << error;
}

}  // namespace
}  // namespace telpod
