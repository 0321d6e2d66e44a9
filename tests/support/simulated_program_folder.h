#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/driver_folders.h"
#include "platform/program_folder.h"
#include "support/sim_control.h"
#include "support/temp_folder.h"

namespace telpod::test {

// A program folder of the test's own, which the program takes for its own
// while the object lives: the clock library and the chosen simulated
// drivers are linked into it, as a build or an installation lays them out.
class SimulatedProgramFolder {
 public:
  SimulatedProgramFolder() : scope_(program.path()) {
    std::filesystem::create_directory(program.File("drivers"));
  }

  void InstallClock() { Link(std::string(TELPOD_PROGRAM_DIR) + "/libzqt100.so", "libzqt100.so"); }
  // Links a simulator into drivers/ and configures it ("" keeps its default).
  SimControl& InstallDriver(const char* file, const std::string& config) {
    Link(SimulatorPath(file), std::string("drivers/") + file);
    auto& sim = sims_[file];
    sim = std::make_unique<SimControl>(file);
    if (config.empty()) {
      sim->Reset();
    } else {
      sim->Configure(config);
    }
    return *sim;
  }
  SimControl& Sim(const char* file) { return *sims_.at(file); }
  // The linked libraries as copies of their own, so that another user can
  // load them wherever the build lies (a checkout in a folder only its
  // owner may enter). The copies are separate libraries: a simulator
  // configured here does not configure them.
  void CopyLinkedLibraries() {
    std::vector<std::filesystem::path> links;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(program.path())) {
      if (entry.is_symlink()) links.push_back(entry.path());
    }
    for (const auto& link : links) {
      const auto target = std::filesystem::read_symlink(link);
      std::filesystem::remove(link);
      std::filesystem::copy_file(target, link);
    }
  }

  // The clock, and devices of every vendor family: one adapter, two boards
  // (one of a model the table lacks), three channels of which another
  // program holds the second.
  void InstallEveryFamily() {
    InstallClock();
    InstallDriver(platform::kCanusbLibraryFile, "canusb serial=LW000001 version=\"V2.0\"\n");
    InstallDriver(platform::kIfCanLibraryFile,
                  "ifcan port=2 device=0x12F3 subsystem=0x2094 revision=1 channel=1 physical=1\n"
                  "ifcan port=5 device=0x1111 subsystem=0x2222 revision=3 channel=2 physical=0\n");
    InstallDriver(
        platform::kCanlibLibraryFile,
        "kvaser name=\"Kvaser A\" serial=70123 firmware=3.4.0.291 upc=0x0007330130004321\n"
        "kvaser held\n"
        "kvaser name=\"Kvaser C\"\n");
  }

  TempFolder program;

 private:
  void Link(const std::string& target, const std::string& name) {
    std::filesystem::create_symlink(target, program.File(name));
  }

  platform::ScopedProgramFolder scope_;
  std::map<std::string, std::unique_ptr<SimControl>> sims_;
};

}  // namespace telpod::test
