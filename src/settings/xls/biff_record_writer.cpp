#include "settings/xls/biff_record_writer.h"

#include <bit>
#include <stdexcept>

#include "settings/xls/biff_records.h"

namespace telpod::xls {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one code point at `i`, advancing it; rejects overlong forms,
// surrogates and values past U+10FFFF.
char32_t NextCodePoint(std::string_view s, size_t& i) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char lead = byte(i);
  size_t extra = 0;
  char32_t cp = 0;
  if (lead < 0x80) {
    ++i;
    return lead;
  } else if ((lead & 0xE0) == 0xC0) {
    extra = 1, cp = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2, cp = lead & 0x0F;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3, cp = lead & 0x07;
  } else {
    ++i;
    return kReplacement;
  }
  if (i + extra >= s.size()) {
    i = s.size();
    return kReplacement;
  }
  for (size_t k = 1; k <= extra; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) {
      i += k;
      return kReplacement;
    }
    cp = (cp << 6) | (byte(i + k) & 0x3F);
  }
  i += extra + 1;
  static constexpr char32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
  if (cp < kMinimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    return kReplacement;
  }
  return cp;
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  size_t i = 0;
  while (i < utf8.size()) {
    const char32_t cp = NextCodePoint(utf8, i);
    if (cp >= 0x10000) {
      out.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
  }
  return out;
}

void BiffRecordWriter::Begin(uint16_t type) {
  if (open_) End();
  record_start_ = bytes_.size();
  open_ = true;
  U16(type);
  U16(0);
}

void BiffRecordWriter::End() {
  if (!open_) return;
  const size_t body = body_size();
  if (body > kMaxRecordBody) throw std::length_error("BIFF record too long");
  bytes_[record_start_ + 2] = static_cast<char>(body & 0xFF);
  bytes_[record_start_ + 3] = static_cast<char>(body >> 8);
  open_ = false;
}

void BiffRecordWriter::Record(uint16_t type, std::initializer_list<uint16_t> words) {
  Begin(type);
  for (uint16_t w : words) U16(w);
  End();
}

size_t BiffRecordWriter::body_size() const {
  return open_ ? bytes_.size() - record_start_ - kRecordHeaderSize : 0;
}

void BiffRecordWriter::U8(uint8_t v) {
  bytes_.push_back(static_cast<char>(v));
}

void BiffRecordWriter::U16(uint16_t v) {
  U8(static_cast<uint8_t>(v & 0xFF));
  U8(static_cast<uint8_t>(v >> 8));
}

void BiffRecordWriter::U32(uint32_t v) {
  U16(static_cast<uint16_t>(v & 0xFFFF));
  U16(static_cast<uint16_t>(v >> 16));
}

void BiffRecordWriter::F64(double v) {
  const auto bits = std::bit_cast<uint64_t>(v);
  U32(static_cast<uint32_t>(bits & 0xFFFFFFFFu));
  U32(static_cast<uint32_t>(bits >> 32));
}

void BiffRecordWriter::Zeros(size_t n) {
  bytes_.append(n, '\0');
}

void BiffRecordWriter::UnicodeString(std::u16string_view text, int length_bytes) {
  if (text.size() > (length_bytes == 1 ? 0xFFu : 0xFFFFu)) {
    throw std::length_error("BIFF string too long");
  }
  if (length_bytes == 1) {
    U8(static_cast<uint8_t>(text.size()));
  } else {
    U16(static_cast<uint16_t>(text.size()));
  }
  U8(0x01);  // fHighByte: two bytes per character
  Chars(text);
}

void BiffRecordWriter::Chars(std::u16string_view text) {
  for (char16_t c : text) U16(static_cast<uint16_t>(c));
}

void BiffRecordWriter::PatchU32(size_t offset, uint32_t v) {
  for (int k = 0; k < 4; ++k) bytes_.at(offset + k) = static_cast<char>((v >> (8 * k)) & 0xFF);
}

}  // namespace telpod::xls
