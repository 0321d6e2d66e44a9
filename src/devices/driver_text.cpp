#include "devices/driver_text.h"

#include "platform/text_codec.h"

namespace telpod {

std::string TextFromDriverBuffer(const char* buffer, size_t size) {
  std::string ansi;
  ansi.reserve(size);
  for (size_t i = 0; i < size; ++i) {
    if (buffer[i] != '\0') ansi.push_back(buffer[i]);
  }
  return platform::Cp932ToUtf8Lossy(ansi);
}

std::string DriverText(const std::string& utf8) {
  return platform::Utf8ToCp932(utf8);
}

}  // namespace telpod
