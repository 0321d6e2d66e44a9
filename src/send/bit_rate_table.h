#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace telpod {

// The interface families a connection can run on.
enum class Family : int32_t { None = 0, CANUSB = 1, Interface = 2, Kvaser = 3, SocketCAN = 4 };

// One bit rate of the common settings: its index (t_bitRate), the rate, the
// label shown in TB_Protocol and the dialog, and which families offer it.
struct BitRate {
  int32_t index;
  int32_t bits_per_second;
  const char* label;
  bool canusb;
  bool interface_board;
  bool kvaser;

  bool SupportedBy(Family family) const;
};

// Index 8 is 125k, after 10k: the order the settings file has always stored.
inline constexpr std::array<BitRate, 9> kBitRates{{
    {0, 1'000'000, "1M bps", true, true, true},
    {1, 800'000, "800k bps", true, false, false},
    {2, 500'000, "500k bps", true, true, true},
    {3, 250'000, "250k bps", true, true, true},
    {4, 100'000, "100k bps", true, true, true},
    {5, 50'000, "50k bps", true, true, true},
    {6, 20'000, "20k bps", true, false, false},
    {7, 10'000, "10k bps", true, false, true},
    {8, 125'000, "125k bps", true, true, true},
}};

// The entry of an index, or nullopt outside 0..8.
std::optional<BitRate> FindBitRate(int32_t index);

// The TB_Protocol label of an index; empty outside 0..8.
std::string BitRateLabel(int32_t index);

}  // namespace telpod
