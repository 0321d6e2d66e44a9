#include "send/zqt_clock.h"

#include "platform/driver_folders.h"
#include "platform/program_folder.h"

namespace telpod {

std::unique_ptr<ZqtClock> ZqtClock::Load(const std::string& folder, std::string* error) {
  platform::DynamicLibrary library;
  TimeGetTimeFn fn = nullptr;
  if (!library.Open(platform::JoinPath(folder, platform::kClockLibraryFile)) ||
      !library.Resolve("zq_timeGetTime", fn)) {
    if (error) *error = library.error();
    return nullptr;
  }
  return std::unique_ptr<ZqtClock>(new ZqtClock(std::move(library), fn));
}

}  // namespace telpod
