#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace telpod::slcan {

// A serial-line adapter found at start-up.
struct Adapter {
  std::string port;     // "/dev/ttyUSB0"
  std::string serial;   // its serial number; empty when it has none
  std::string version;  // hhss of its version reply
  // The user may not open the port; `group` may. Such a port is listed all
  // the same, so that the user learns whom to ask.
  bool denied = false;
  std::string group;
};

// The adapters found at start-up, in the order of the port search, and the
// one chosen in the device list.
class Catalogue {
 public:
  static constexpr size_t kCapacity = 30;

  void Clear() {
    adapters_.clear();
    chosen_ = 0;
  }
  // False when the catalogue is full.
  bool Add(Adapter adapter);
  const std::vector<Adapter>& adapters() const { return adapters_; }

  // 1-based; 0 or a position outside the catalogue chooses none.
  void Choose(int32_t position) { chosen_ = position; }
  const Adapter* Chosen() const;

 private:
  std::vector<Adapter> adapters_;
  int32_t chosen_ = 0;
};

}  // namespace telpod::slcan
