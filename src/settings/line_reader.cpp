#include "settings/line_reader.h"

namespace telpod::Setting_import_export {

std::optional<std::string_view> LineReader::Next() {
  if (done_) return std::nullopt;
  line_.clear();
  ++number_;
  for (;;) {
    const auto c = in_.sbumpc();
    if (c == std::char_traits<char>::eof()) {
      done_ = true;
      break;
    }
    if (c == '\n') {
      if (!line_.empty() && line_.back() == '\r') line_.pop_back();
      break;
    }
    line_.push_back(static_cast<char>(c));
    // Room for the CR of a CR LF; anything beyond is too long either way.
    if (line_.size() > longest_ + 1) break;
  }
  if (line_.size() > longest_) {
    done_ = too_long_ = true;
    return std::nullopt;
  }
  return line_;
}

}  // namespace telpod::Setting_import_export
