#pragma once

#include <string>
#include <vector>

namespace telpod::platform {

// Names serial ports to search besides the system's, separated by ':': a
// simulator's pseudo-terminal, or a port under a name of its own.
inline constexpr const char* kSerialPortsVariable = "TELPOD_SERIAL_PORTS";

// Where a search for serial ports looks: file name patterns, in order, then
// the ports named in a ':'-separated list.
struct SerialPortPlaces {
  std::vector<std::string> patterns;
  std::string named;
};

// The system's places: /dev/ttyUSB*, /dev/ttyACM*, /dev/serial/by-id/*, then
// what TELPOD_SERIAL_PORTS names.
SerialPortPlaces SystemSerialPortPlaces();

// The ports that exist at `places`, each device once under the first name
// it was found by (a link in /dev/serial/by-id/ is the ttyUSB it leads to);
// a pattern's matches in natural order, ttyUSB2 before ttyUSB10.
std::vector<std::string> FindSerialPorts(const SerialPortPlaces& places);

// "ttyUSB2" < "ttyUSB10": runs of digits compare as numbers.
bool NaturalLess(const std::string& a, const std::string& b);

}  // namespace telpod::platform
