#include "settings/xls/biff_shared_strings.h"

#include <algorithm>

#include "settings/xls/biff_records.h"

namespace telpod::xls {
namespace {

constexpr size_t kStringHeader = 3;  // character count and flags
constexpr uint8_t kHighByte = 0x01;

struct BucketStart {
  uint32_t stream_offset;
  uint16_t record_offset;  // counted from the record's header
};

std::u16string Cut(std::u16string text) {
  if (text.size() <= BiffSharedStrings::kMaxChars) return text;
  text.resize(BiffSharedStrings::kMaxChars);
  if (text.back() >= 0xD800 && text.back() <= 0xDBFF) text.pop_back();  // half a pair
  return text;
}

}  // namespace

uint32_t BiffSharedStrings::Add(const std::string& utf8) {
  ++references_;
  const auto [it, added] = index_.try_emplace(utf8, static_cast<uint32_t>(strings_.size()));
  if (added) strings_.push_back(Cut(Utf8ToUtf16(utf8)));
  return it->second;
}

void BiffSharedStrings::Write(BiffRecordWriter& out) const {
  // EXTSST points at every n-th string so that a reader can seek.
  const size_t per_bucket = std::max<size_t>(8, strings_.size() / 128 + 1);
  std::vector<BucketStart> buckets;

  out.Begin(kSst);
  out.U32(references_);
  out.U32(static_cast<uint32_t>(strings_.size()));
  for (size_t k = 0; k < strings_.size(); ++k) {
    const std::u16string& s = strings_[k];
    // A text that does not fit the rest of the record starts the next one,
    // so only texts longer than a whole record are ever split: FreeXL reads
    // a split text only when its rest fits into the following record.
    if (out.body_size() + kStringHeader + 2 * s.size() > kMaxRecordBody) {
      out.Begin(kContinue);
    }
    if (k % per_bucket == 0) {
      buckets.push_back({static_cast<uint32_t>(out.size()),
                         static_cast<uint16_t>(out.body_size() + kRecordHeaderSize)});
    }
    out.U16(static_cast<uint16_t>(s.size()));
    out.U8(kHighByte);
    size_t done = 0;
    while (done < s.size()) {
      size_t room = (kMaxRecordBody - out.body_size()) / 2;
      if (room == 0) {
        out.Begin(kContinue);
        out.U8(kHighByte);  // a continued string repeats its flags
        room = (kMaxRecordBody - out.body_size()) / 2;
      }
      const size_t n = std::min(room, s.size() - done);
      out.Chars(std::u16string_view(s).substr(done, n));
      done += n;
    }
  }
  out.End();

  out.Begin(kExtSst);
  out.U16(static_cast<uint16_t>(per_bucket));
  for (const auto& b : buckets) {
    out.U32(b.stream_offset);
    out.U16(b.record_offset);
    out.U16(0);
  }
  out.End();
}

}  // namespace telpod::xls
