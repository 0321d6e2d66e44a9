#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "devices/driver_library.h"
#include "devices/selected_device_info.h"
#include "platform/window_services.h"
#include "send/connection_skeleton.h"

namespace telpod {

class FamilySet;

// What the program asks of an interface family once it runs: whether it can
// run here, its devices, the chosen one's information line, a connection
// over it, and what the frame logs call it. Devices are numbered from 1 in
// the family's own list.
class DeviceFamily {
 public:
  virtual ~DeviceFamily() = default;

  // Param_ALL_Clear on each of the family's objects, catalogue first.
  virtual void Reset() = 0;
  // After the libraries are loaded: whether the family can run (its
  // library loaded, the kernel layer it needs there). Never throws.
  virtual bool Present() = 0;
  // Fills the catalogue with the devices found, letting window events run
  // on the way. What was found before a failure stays; never throws.
  virtual void FindDevices(platform::EventPump& pump) = 0;
  // How many devices the catalogue lists, and the device-list entry of n.
  virtual int32_t DeviceCount() const = 0;
  virtual std::string EntryText(int32_t n) const = 0;
  // Makes device n the chosen one and reads its information line.
  virtual SelectedDeviceInfo Select(int32_t n) = 0;

  // The connection over the chosen device that RunConnection runs.
  virtual std::unique_ptr<FamilyConnection> Connection() = 0;
  // The connection's result when it fails outside the driver.
  virtual int32_t FailureResult() const { return 0; }
  // What the status box keeps once a connection returned `result`.
  virtual std::string StatusAfter(int32_t /*result*/) const { return {}; }

  // The chosen device as frame logs name it: "canusb-LW000001", "vcan0".
  virtual std::string InterfaceName() const = 0;
};

// One row of the family table: what is known of a family before any device
// is searched, and how a program makes its DeviceFamily.
struct FamilyEntry {
  // As the user knows it, and the settings dialog's legend names it.
  const char* name;
  // The driver library the family loads, if it needs one.
  std::optional<DriverFile> library = std::nullopt;
  // Whether it offers the rate of a bit-rate index: the settings dialog
  // colours and explains the rates by it, and the family's connection
  // refuses the others.
  bool (*offers_rate)(int32_t t_bitRate);
  // Start-up's progress once the family is searched, and once its entries
  // are listed; none where the bar does not move.
  std::optional<double> searched_progress = std::nullopt;
  std::optional<double> listed_progress = std::nullopt;
  std::unique_ptr<DeviceFamily> (*make)(FamilySet& set);
};

// FamilyEntry's make for a family built from the program's FamilySet.
template <typename Concrete>
std::unique_ptr<DeviceFamily> MakeFamily(FamilySet& set) {
  return std::make_unique<Concrete>(set);
}

}  // namespace telpod
