#include "platform/translation.h"

#include <utility>

namespace telpod::platform {
namespace {

const TextLookup*& Installed() {
  static const TextLookup* lookup = nullptr;
  return lookup;
}

}  // namespace

ScopedTextLookup::ScopedTextLookup(const TextLookup& lookup)
    : previous_(std::exchange(Installed(), &lookup)) {}

ScopedTextLookup::~ScopedTextLookup() {
  Installed() = previous_;
}

std::string Tr(const SourceText& source, std::initializer_list<std::string_view> args) {
  const std::string pattern = Installed() ? Installed()->Translate(source) : source.text;
  return FillPlaceholders(pattern, {args.begin(), args.size()});
}

std::string FillPlaceholders(std::string_view pattern, std::span<const std::string_view> args) {
  std::string text;
  text.reserve(pattern.size());
  for (size_t k = 0; k < pattern.size(); ++k) {
    const bool placeholder = pattern[k] == '%' && k + 1 < pattern.size() && pattern[k + 1] >= '1' &&
                             pattern[k + 1] <= '9';
    const size_t n = placeholder ? static_cast<size_t>(pattern[k + 1] - '1') : args.size();
    if (n < args.size()) {
      text += args[n];
      ++k;
    } else {
      text += pattern[k];
    }
  }
  return text;
}

}  // namespace telpod::platform
