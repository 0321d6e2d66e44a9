#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace telpod::xls {

// UTF-8 -> UTF-16; malformed bytes become U+FFFD.
std::u16string Utf8ToUtf16(std::string_view utf8);

// Builds a BIFF8 stream: records of a 16-bit type, a 16-bit length and a
// body, all numbers little-endian.
class BiffRecordWriter {
 public:
  void Begin(uint16_t type);
  // Closes the open record; throws std::length_error past kMaxRecordBody.
  void End();
  // A record whose body is only the given 16-bit values.
  void Record(uint16_t type, std::initializer_list<uint16_t> words);

  void U8(uint8_t v);
  void U16(uint16_t v);
  void U32(uint32_t v);
  void F64(double v);
  void Zeros(size_t n);
  // UTF-16 characters with the "16-bit" flag: `length_bytes` (1 or 2) of
  // character count, the flag byte, then the characters.
  void UnicodeString(std::u16string_view text, int length_bytes);
  void Chars(std::u16string_view text);

  // Bytes in the stream so far, and in the open record's body.
  size_t size() const { return bytes_.size(); }
  size_t body_size() const;
  void PatchU32(size_t offset, uint32_t v);
  const std::string& bytes() const { return bytes_; }

 private:
  std::string bytes_;
  size_t record_start_ = 0;
  bool open_ = false;
};

}  // namespace telpod::xls
