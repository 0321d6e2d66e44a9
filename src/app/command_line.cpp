#include "app/command_line.h"

#include <algorithm>

#include "model/elm327_info.h"
#include "settings/file_save_system.h"

namespace telpod {
namespace {

void PrintHelp(std::ostream& out) {
  out << "Usage: telpod [options]\n"
         "\n"
         "TELPOD puts CAN frames on a CAN bus, by hand and on a timetable.\n"
         "\n"
         "Options:\n"
         "  --lang ja|en   language of the windows (default: from the locale)\n"
         "  -h, --help     show this help and end\n"
         "  --version      show the version and end\n"
         "Qt's own options (-platform, -display, -style, ...) are taken as well.\n"
         "\n"
         "Settings file: "
      << FileSaveSystem::SettingFilePath()
      << "\n"
         "  (beside the program while its folder is writable, else in\n"
         "  $XDG_CONFIG_HOME/telpod, by default ~/.config/telpod)\n";
}

void PrintVersion(std::ostream& out) {
  const ELM327_Info device;
  out << "TELPOD " << InstallVersionText(device.install_version()) << "\n"
      << device.Copy_light() << "\n"
      << device.Homepage_URL() << "\n";
}

}  // namespace

std::optional<int> AnswerTerminalOptions(const std::vector<std::string>& arguments,
                                         std::ostream& out) {
  for (const auto& argument : arguments) {
    if (argument == "--help" || argument == "-h") {
      PrintHelp(out);
      return 0;
    }
    if (argument == "--version") {
      PrintVersion(out);
      return 0;
    }
  }
  return std::nullopt;
}

}  // namespace telpod
