#include <gtest/gtest.h>

#include <tuple>

#include "devices/canusb/canusb_driver.h"
#include "devices/ifcan/ifcan_driver.h"
#include "devices/kvaser/canlib_driver.h"
#include "platform/driver_folders.h"
#include "support/sim_control.h"
#include "support/temp_folder.h"

namespace telpod {
namespace {

template <typename Driver>
bool Loads(const std::string& path, std::string* error) {
  return Driver::Load(path, error) != nullptr;
}

// Each library that cannot serve its family is refused with a reason
// naming what is wrong, and nothing crashes.
TEST(DriverLoading, UnusableLibrariesAreRefusedWithAClearError) {
  test::TempFolder folder;
  const std::string not_a_library = folder.File("libcanusbdrv.so");
  test::WriteFile(not_a_library, "\x7F" + std::string("ELF") + std::string(300, '\xFF'));
  using Loader = bool (*)(const std::string&, std::string*);
  const std::tuple<Loader, std::string, std::vector<std::string>> cases[] = {
      {Loads<CanusbDriver>, INCOMPLETE_CANUSB_PATH, {"canusb_Write", INCOMPLETE_CANUSB_PATH}},
      {Loads<CanlibDriver>,
       test::SimulatorPath(platform::kIfCanLibraryFile),
       {"canInitializeLibrary"}},
      {Loads<CanusbDriver>, not_a_library, {"cannot load"}},
      {Loads<IfCanDriver>, folder.File("missing.so"), {"missing.so"}},
      {Loads<CanusbDriver>, "drivers/libcanusbdrv.so", {"not an absolute path"}},
  };
  for (const auto& [load, path, named] : cases) {
    std::string error;
    EXPECT_FALSE(load(path, &error)) << path;
    for (const auto& part : named) EXPECT_NE(error.find(part), std::string::npos) << error;
  }
}

}  // namespace
}  // namespace telpod
