#include "settings/xls/scratch_file.h"

#include <cstdio>
#include <filesystem>
#include <random>

namespace telpod::xls {

ScratchFile::ScratchFile(std::string_view bytes) {
  std::error_code ec;
  const auto folder = std::filesystem::temp_directory_path(ec);
  if (ec) return;
  std::random_device random;
  for (int attempt = 0; attempt < 16; ++attempt) {
    const std::string candidate =
        (folder / ("telpod-" + std::to_string(random()) + ".xls")).string();
    // "x": never opens a file that is already there.
    std::FILE* file = std::fopen(candidate.c_str(), "wbx");
    if (file == nullptr) continue;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (std::fclose(file) == 0 && written) {
      path_ = candidate;
    } else {
      std::filesystem::remove(candidate, ec);
    }
    return;
  }
}

ScratchFile::~ScratchFile() {
  std::error_code ec;
  if (!path_.empty()) std::filesystem::remove(path_, ec);
}

}  // namespace telpod::xls
