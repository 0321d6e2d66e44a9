#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace telpod::platform {

// Texts live as UTF-8 inside the program. Files that travel to and from
// Japanese Windows carry the ANSI code page there, CP932.

// UTF-8 -> CP932. Characters CP932 lacks become "?", as Windows does.
std::string Utf8ToCp932(std::string_view utf8);

// CP932 -> UTF-8; nullopt when the bytes are not valid CP932.
std::optional<std::string> Cp932ToUtf8(std::string_view cp932);

// CP932 -> UTF-8, invalid bytes replaced by U+FFFD, never failing.
std::string Cp932ToUtf8Lossy(std::string_view cp932);

// True when the bytes are well-formed UTF-8.
bool IsValidUtf8(std::string_view bytes);

}  // namespace telpod::platform
