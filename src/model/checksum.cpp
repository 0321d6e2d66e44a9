#include "model/checksum.h"

#include <array>

namespace telpod {
namespace {

constexpr uint8_t kCrcInitial = 0xFF;
constexpr uint8_t kCrcFinalXor = 0xFF;

// Byte-wise table of a most-significant-bit-first CRC-8.
constexpr std::array<uint8_t, 256> CrcTable(uint8_t polynomial) {
  std::array<uint8_t, 256> table{};
  for (int byte = 0; byte < 256; ++byte) {
    auto crc = static_cast<uint8_t>(byte);
    for (int bit = 0; bit < 8; ++bit) {
      crc = static_cast<uint8_t>((crc & 0x80) ? (crc << 1) ^ polynomial : crc << 1);
    }
    table[static_cast<size_t>(byte)] = crc;
  }
  return table;
}

constexpr auto kSaeJ1850 = CrcTable(0x1D);
constexpr auto kH2F = CrcTable(0x2F);

class Crc8 {
 public:
  explicit Crc8(const std::array<uint8_t, 256>& table) : table_(table) {}
  void Add(uint8_t byte) { crc_ = table_[static_cast<uint8_t>(crc_ ^ byte)]; }
  uint8_t Result() const { return crc_ ^ kCrcFinalXor; }

 private:
  const std::array<uint8_t, 256>& table_;
  uint8_t crc_ = kCrcInitial;
};

uint8_t CrcOf(const std::array<uint8_t, 256>& table, std::optional<uint16_t> data_id,
              std::span<const uint8_t> bytes) {
  Crc8 crc(table);
  if (data_id) {
    crc.Add(static_cast<uint8_t>(*data_id & 0xFF));
    crc.Add(static_cast<uint8_t>(*data_id >> 8));
  }
  for (uint8_t byte : bytes) crc.Add(byte);
  return crc.Result();
}

}  // namespace

bool IsCrc(ChecksumAlgorithm algorithm) {
  return algorithm == ChecksumAlgorithm::Crc8SaeJ1850 || algorithm == ChecksumAlgorithm::Crc8H2F;
}

uint8_t Checksum(ChecksumAlgorithm algorithm, std::optional<uint16_t> data_id,
                 std::span<const uint8_t> bytes) {
  uint8_t result = 0;
  switch (algorithm) {
    case ChecksumAlgorithm::Xor:
      for (uint8_t byte : bytes) result ^= byte;
      return result;
    case ChecksumAlgorithm::Sum:
      for (uint8_t byte : bytes) result = static_cast<uint8_t>(result + byte);
      return result;
    case ChecksumAlgorithm::Crc8SaeJ1850:
      return CrcOf(kSaeJ1850, data_id, bytes);
    case ChecksumAlgorithm::Crc8H2F:
      return CrcOf(kH2F, data_id, bytes);
  }
  return result;
}

}  // namespace telpod
