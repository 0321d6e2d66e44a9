#pragma once

#include <string>
#include <vector>

namespace telpod::platform {

// When set, names the serial ports to search, separated by ':', instead of
// the system's: a simulator's pseudo-terminal, a port under a name of its
// own; set and empty, no port at all, so that a test or a demo on a machine
// with adapters plugged in sees only its own.
inline constexpr const char* kSerialPortsVariable = "TELPOD_SERIAL_PORTS";

// Where a search for serial ports looks: file name patterns, in order, then
// the ports named in a ':'-separated list.
struct SerialPortPlaces {
  std::vector<std::string> patterns;
  std::string named;
};

// The system's places, /dev/ttyUSB*, /dev/ttyACM* and /dev/serial/by-id/*,
// or what TELPOD_SERIAL_PORTS names when it is set.
SerialPortPlaces SystemSerialPortPlaces();

// The ports that exist at `places`, each device once under the first name
// it was found by (a link in /dev/serial/by-id/ is the ttyUSB it leads to);
// a pattern's matches in natural order, ttyUSB2 before ttyUSB10.
std::vector<std::string> FindSerialPorts(const SerialPortPlaces& places);

// "ttyUSB2" < "ttyUSB10": runs of digits compare as numbers.
bool NaturalLess(const std::string& a, const std::string& b);

}  // namespace telpod::platform
