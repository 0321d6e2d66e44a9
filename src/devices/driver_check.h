#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

#include "devices/family_set.h"
#include "platform/translation.h"
#include "platform/window_services.h"

namespace telpod {

namespace startup_text {
inline constexpr platform::SourceText kEndApplication =
    TELPOD_TEXT("Startup", "アプリケーションを終了します。");
inline constexpr platform::SourceText kNoDevice =
    TELPOD_TEXT("Startup", "デバイスが見つかりません。");
}  // namespace startup_text

// A message that ends start-up: `first_line`, then that the application
// ends.
std::string StartupStopMessage(const platform::SourceText& first_line);

// The message when the clock library is missing from the program folder or
// cannot be used; the program loads its clock itself, before the drivers.
std::string ClockLibraryMissingMessage();

// The driver libraries' part of the start-up check: loads each family's
// library, then asks each family whether it can run. The mask of the
// families that can (DriverMaskBit), or -1 after the no-driver message,
// titled `title`, when none can. A library that is there but unusable
// beside a family that runs is noted on `notes`,
// "<program>: <file> not used: <why>".
int32_t Check_DriverLibraries(FamilySet& families, platform::MessageBoxes& messages,
                              const std::string& title, std::ostream& notes,
                              std::string_view program);

}  // namespace telpod
