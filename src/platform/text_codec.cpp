#include "platform/text_codec.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <string>
#include <vector>

namespace telpod::platform {
namespace {

class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (ok()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts all of `in`; an unconvertible or invalid sequence is replaced by
  // `replacement` (and skipped by `skip` input bytes) unless `strict`.
  std::optional<std::string> Run(std::string_view in, bool strict, std::string_view replacement,
                                 size_t (*skip)(std::string_view rest)) {
    if (!ok()) return std::nullopt;
    std::string out;
    std::vector<char> buffer(in.size() * 4 + 16);
    char* src = const_cast<char*>(in.data());
    size_t src_left = in.size();
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    while (src_left > 0) {
      char* dst = buffer.data();
      size_t dst_left = buffer.size();
      const size_t r = iconv(cd_, &src, &src_left, &dst, &dst_left);
      out.append(buffer.data(), static_cast<size_t>(dst - buffer.data()));
      if (r != static_cast<size_t>(-1)) continue;
      if (errno == E2BIG) continue;
      if (strict) return std::nullopt;
      out.append(replacement);
      const size_t n = std::min(src_left, skip(std::string_view(src, src_left)));
      src += n;
      src_left -= n;
    }
    return out;
  }

 private:
  iconv_t cd_;
};

size_t Utf8SequenceLength(std::string_view rest) {
  const auto lead = static_cast<unsigned char>(rest.front());
  if (lead < 0x80) return 1;
  if ((lead & 0xE0) == 0xC0) return 2;
  if ((lead & 0xF0) == 0xE0) return 3;
  if ((lead & 0xF8) == 0xF0) return 4;
  return 1;
}

size_t OneByte(std::string_view) {
  return 1;
}

}  // namespace

std::string Utf8ToCp932(std::string_view utf8) {
  Converter c("CP932", "UTF-8");
  return c.Run(utf8, false, "?", Utf8SequenceLength).value_or(std::string());
}

std::optional<std::string> Cp932ToUtf8(std::string_view cp932) {
  Converter c("UTF-8", "CP932");
  return c.Run(cp932, true, "", OneByte);
}

std::string Cp932ToUtf8Lossy(std::string_view cp932) {
  Converter c("UTF-8", "CP932");
  return c.Run(cp932, false, "\xEF\xBF\xBD", OneByte).value_or(std::string());
}

bool IsValidUtf8(std::string_view bytes) {
  size_t i = 0;
  while (i < bytes.size()) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    size_t n = 0;
    uint32_t cp = 0;
    if (c < 0x80) {
      ++i;
      continue;
    } else if ((c & 0xE0) == 0xC0) {
      n = 1;
      cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
      n = 2;
      cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
      n = 3;
      cp = c & 0x07;
    } else {
      return false;
    }
    for (size_t k = 1; k <= n; ++k) {
      if (i + k >= bytes.size()) return false;
      const auto cc = static_cast<unsigned char>(bytes[i + k]);
      if ((cc & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (cc & 0x3F);
    }
    static constexpr uint32_t kMin[] = {0, 0x80, 0x800, 0x10000};
    if (cp < kMin[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += n + 1;
  }
  return true;
}

}  // namespace telpod::platform
