#include "settings/setting_file_record.h"

#include <bit>
#include <cstdint>

#include "model/row_fields.h"
#include "platform/text_codec.h"

namespace telpod::SettingFileRecord {
namespace {

constexpr size_t kMaxTextBytes = 0xFFFF;
constexpr size_t kReservedBytes = 8 + 4;

class ByteWriter {
 public:
  void Unsigned(uint64_t value, size_t size) {
    for (size_t k = 0; k < size; ++k) bytes_.push_back(static_cast<char>(value >> (8 * k)));
  }
  void I32(int32_t value) { Unsigned(static_cast<uint32_t>(value), 4); }
  void U8(uint8_t value) { Unsigned(value, 1); }
  void F64(double value) { Unsigned(std::bit_cast<uint64_t>(value), 8); }
  // UTF-8 in, count + CP932 out; false when the text is too long to count.
  bool Text(const std::string& utf8) {
    const std::string cp932 = platform::Utf8ToCp932(utf8);
    if (cp932.size() > kMaxTextBytes) return false;
    Unsigned(cp932.size(), 2);
    bytes_ += cp932;
    return true;
  }
  std::string& bytes() { return bytes_; }

 private:
  std::string bytes_;
};

// Reads fields in order; once a field runs past the end every later read
// gives zero or empty and ok() stays false, so nothing is read out of bounds.
class ByteReader {
 public:
  explicit ByteReader(std::string_view bytes) : rest_(bytes) {}
  bool ok() const { return ok_; }

  std::string_view Take(size_t size) {
    if (!ok_ || rest_.size() < size) {
      ok_ = false;
      return {};
    }
    const std::string_view taken = rest_.substr(0, size);
    rest_.remove_prefix(size);
    return taken;
  }
  uint64_t Unsigned(size_t size) {
    const std::string_view b = Take(size);
    uint64_t value = 0;
    for (size_t k = b.size(); k > 0; --k) value = (value << 8) | static_cast<uint8_t>(b[k - 1]);
    return value;
  }
  int32_t I32() { return static_cast<int32_t>(static_cast<uint32_t>(Unsigned(4))); }
  uint8_t U8() { return static_cast<uint8_t>(Unsigned(1)); }
  double F64() { return std::bit_cast<double>(Unsigned(8)); }
  // The text's CP932 bytes as stored.
  std::string_view Text() { return Take(static_cast<size_t>(Unsigned(2))); }

 private:
  std::string_view rest_;
  bool ok_ = true;
};

}  // namespace

std::optional<std::string> Bytes(const ELM327_Info& device, const CAN_SendDB& Tx_CANDATA) {
  ByteWriter out;
  if (!out.Text(device.Application_title()) || !out.Text(device.Copy_light())) {
    return std::nullopt;
  }
  out.Unsigned(0, 8);
  out.I32(0);
  out.I32(device.install_version());
  out.I32(device.t_bitRate());
  out.I32(device.t_ViewCaution());
  // Always eight entries per column: the layout does not follow CAN_Array_MAX.
  constexpr int16_t kRows = CAN_SendDB::kRows;
  for (int16_t i = 0; i < kRows; ++i) out.I32(Tx_CANDATA.CAN_SendCycleOperation(i));
  for (int16_t i = 0; i < kRows; ++i) out.U8(Tx_CANDATA.CAN_Send29(i));
  for (int16_t i = 0; i < kRows; ++i) out.F64(Tx_CANDATA.CAN_SendCycleTime(i));
  for (int16_t i = 0; i < kRows; ++i) out.I32(Tx_CANDATA.CAN_ID(i));
  for (int16_t i = 0; i < kRows; ++i) out.U8(Tx_CANDATA.CAN_DLC(i));
  for (int n = 1; n <= CAN_SendDB::kDataBytes; ++n) {
    for (int16_t i = 0; i < kRows; ++i) out.U8(Tx_CANDATA.CAN_Data(n, i));
  }
  if (!out.Text(device.t_setting_file_path())) return std::nullopt;
  return std::move(out.bytes());
}

Outcome Take(std::string_view bytes, ELM327_Info& device, CAN_SendDB& Tx_CANDATA) {
  ByteReader in(bytes);
  const std::string_view title = in.Text();
  const std::string_view caption = in.Text();
  in.Take(kReservedBytes);
  const int32_t version = in.I32();
  // Compared as stored bytes, so a character CP932 lacks (kept as "?")
  // still matches the file this program wrote itself. A file that ends
  // before it shows who wrote it is not ours either.
  if (!in.ok() || caption != platform::Utf8ToCp932(device.Copy_light()) ||
      title != platform::Utf8ToCp932(device.Application_title()) ||
      version != device.install_version()) {
    return Outcome::Foreign;
  }

  // Staged, so that a record ending part-way leaves every value as it was.
  ELM327_Info staged = device;
  CAN_SendDB rows = Tx_CANDATA;
  staged.set_t_bitRate(in.I32());
  staged.set_t_ViewCaution(in.I32());
  constexpr int16_t kRows = CAN_SendDB::kRows;
  for (int16_t i = 0; i < kRows; ++i) rows.set_CAN_SendCycleOperation(i, in.I32());
  for (int16_t i = 0; i < kRows; ++i) rows.set_CAN_Send29(i, in.U8());
  for (int16_t i = 0; i < kRows; ++i) rows.set_CAN_SendCycleTime(i, PeriodOrDefault(in.F64()));
  for (int16_t i = 0; i < kRows; ++i) rows.set_CAN_ID(i, IdOrDefault(in.I32()));
  for (int16_t i = 0; i < kRows; ++i) rows.set_CAN_DLC(i, DlcOrDefault(in.U8()));
  for (int n = 1; n <= CAN_SendDB::kDataBytes; ++n) {
    for (int16_t i = 0; i < kRows; ++i) rows.set_CAN_Data(n, i, in.U8());
  }
  staged.set_t_setting_file_path(platform::Cp932ToUtf8Lossy(in.Text()));
  if (!in.ok()) return Outcome::Damaged;

  device = std::move(staged);
  Tx_CANDATA = rows;
  return Outcome::Taken;
}

}  // namespace telpod::SettingFileRecord
