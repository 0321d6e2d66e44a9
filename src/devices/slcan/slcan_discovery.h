#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "devices/selected_device_info.h"
#include "devices/slcan/slcan_catalogue.h"
#include "platform/window_services.h"

namespace telpod::slcan {

// How long a port has to answer as an adapter before it is passed over.
inline constexpr std::chrono::milliseconds kProbeTimeout{300};

// Asks the adapter on `port` for its version and serial number, leaving it
// as it was found. nullopt when the port is gone, held by another program,
// or does not answer as an adapter in time (silence, noise); a port the
// user may not open is an adapter marked denied.
std::optional<Adapter> ProbeAdapter(const std::string& port,
                                    std::chrono::milliseconds timeout = kProbeTimeout);

// Probes `ports` in order, letting window events run before each, and lists
// the adapters found, as many as the catalogue holds. Never throws.
void FindAdapters(Catalogue& catalogue, const std::vector<std::string>& ports,
                  platform::EventPump& pump);

// Device-list entry: "SLCAN A1B2 /dev/ttyUSB0", or "SLCAN /dev/ttyUSB0" for
// an adapter without a serial number.
std::string EntryText(const Adapter& adapter);

// The chosen adapter asked anew: its information line ("SLCAN /dev/ttyUSB0
// HW 1.0 SW 1.3 S/N A1B2") with result 1; for a port the user may not open,
// that, with result 0; nothing (result 0) when it does not answer.
SelectedDeviceInfo ProbeChosenAdapter(const Catalogue& catalogue);

// The name telpod-send gives the adapter's frames: "slcan-A1B2", or
// "slcan-ttyUSB0" without a serial number.
std::string InterfaceName(const Adapter& adapter);

// "/dev/ttyUSB0 を開く権限がありません。"
std::string NoPermissionText(const std::string& port);

}  // namespace telpod::slcan
