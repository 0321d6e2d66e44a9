#include "settings/settings_file_identity.h"

namespace telpod::Setting_import_export {

std::string TitleKey(std::string_view Application_title) {
  constexpr int kKeyCharacters = 10;
  size_t end = 0;
  int characters = 0;
  while (end < Application_title.size() && characters < kKeyCharacters) {
    ++end;
    // Continuation bytes (10xxxxxx) belong to the character before them.
    while (end < Application_title.size() &&
           (static_cast<unsigned char>(Application_title[end]) & 0xC0) == 0x80) {
      ++end;
    }
    ++characters;
  }
  return std::string(Application_title.substr(0, end));
}

}  // namespace telpod::Setting_import_export
