#include "devices/slcan/slcan_discovery.h"

#include <algorithm>

#include "devices/slcan/slcan_link.h"
#include "platform/translation.h"

namespace telpod::slcan {

namespace {

std::string Blankless(std::string text) {
  std::replace(text.begin(), text.end(), ' ', '_');
  return text;
}

std::string BaseName(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string InfoLine(const Adapter& adapter) {
  std::string line = "SLCAN " + adapter.port + " " + VersionText(adapter.version);
  if (!adapter.serial.empty()) line.append(" S/N ").append(adapter.serial);
  return line;
}

}  // namespace

std::optional<Adapter> ProbeAdapter(const std::string& port, std::chrono::milliseconds timeout) {
  Link link;
  const auto opened = link.Open(port);
  if (opened.error == platform::SerialOpenError::PermissionDenied) {
    return Adapter{port, "", "", true, opened.group};
  }
  if (!opened.ok()) return std::nullopt;
  const auto deadline = platform::Deadline::clock::now() + timeout;
  const auto version = link.Synchronize(deadline);
  if (!version) return std::nullopt;
  Adapter adapter{port, "", *version, false, ""};
  const auto serial = link.Ask(kSerialNumber, platform::Deadline::clock::now() + timeout);
  if (serial && serial->kind == Reply::Kind::Serial) adapter.serial = serial->text;
  return adapter;
}

void FindAdapters(Catalogue& catalogue, const std::vector<std::string>& ports,
                  platform::EventPump& pump) {
  try {
    for (const auto& port : ports) {
      pump.DoEvents();
      auto adapter = ProbeAdapter(port);
      if (adapter && !catalogue.Add(std::move(*adapter))) break;
    }
  } catch (...) {
    // What was found so far stays listed.
  }
}

std::string EntryText(const Adapter& adapter) {
  return adapter.serial.empty() ? "SLCAN " + adapter.port
                                : "SLCAN " + adapter.serial + " " + adapter.port;
}

SelectedDeviceInfo ProbeChosenAdapter(const Catalogue& catalogue) {
  try {
    const Adapter* chosen = catalogue.Chosen();
    if (!chosen) return {0, std::nullopt};
    const auto now = ProbeAdapter(chosen->port);
    if (!now) return {0, std::nullopt};
    if (now->denied) return {0, NoPermissionText(now->port)};
    return {1, InfoLine(*now)};
  } catch (...) {
    return {0, std::nullopt};
  }
}

std::string InterfaceName(const Adapter& adapter) {
  return "slcan-" + Blankless(adapter.serial.empty() ? BaseName(adapter.port) : adapter.serial);
}

std::string NoPermissionText(const std::string& port) {
  return platform::Tr(TELPOD_TEXT("Connection", "%1 を開く権限がありません。"), {port});
}

}  // namespace telpod::slcan
