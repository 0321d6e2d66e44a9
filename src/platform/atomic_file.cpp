#include "platform/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <memory>
#include <optional>
#include <random>
#include <utility>
#include <vector>

#include "platform/program_folder.h"
#include "platform/scoped_fd.h"

namespace telpod::platform {
namespace {

// "config.dat" -> "config.dat.tmp-Ab3xZ9": a pattern no file of the user's
// is likely to have, so that clearing stale ones can never take one.
constexpr std::string_view kTempMarker = ".tmp-";
constexpr std::string_view kSuffixCharacters =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
constexpr size_t kSuffixLength = 6;
constexpr int kNameAttempts = 100;
constexpr int kMaxLinkHops = 40;  // the kernel's own limit

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Where a chain of symbolic links ends (a file that may not exist yet);
// nullopt for a loop or an unreadable link.
std::optional<std::string> FollowLinks(std::string path) {
  for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    std::string target(PATH_MAX, '\0');
    const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
    if (n <= 0 || static_cast<size_t>(n) >= target.size()) return std::nullopt;
    target.resize(static_cast<size_t>(n));
    path = target.front() == '/' ? target : JoinPath(FolderOf(path), target);
  }
  return std::nullopt;
}

// The file about to be replaced, if there is one.
struct Existing {
  bool present = false;
  struct stat status {};
};

// Opening it for writing (nothing is written) meets exactly what a plain
// write would have met: permission bits, ACLs, a read-only mount. Only a
// regular file is replaced.
std::optional<Existing> ProbeWritable(const std::string& path) {
  ScopedFd fd;
  if (!fd.Reset(::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK))) {
    if (errno == ENOENT) return Existing{};
    return std::nullopt;
  }
  Existing existing{true, {}};
  if (::fstat(fd.get(), &existing.status) != 0 || !S_ISREG(existing.status.st_mode)) {
    return std::nullopt;
  }
  return existing;
}

bool IsTemporaryName(std::string_view name, std::string_view prefix) {
  if (name.size() != prefix.size() + kSuffixLength || name.substr(0, prefix.size()) != prefix) {
    return false;
  }
  for (char c : name.substr(prefix.size())) {
    if (kSuffixCharacters.find(c) == std::string_view::npos) return false;
  }
  return true;
}

void SyncFolder(const std::string& folder) {
  ScopedFd fd;
  // The rename is done either way; this only hurries it to the disk.
  if (fd.Reset(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))) ::fsync(fd.get());
}

// The new contents on their way: a file beside the target, gone again
// unless it was renamed over the target.
class PendingFile {
 public:
  explicit PendingFile(const std::string& target)
      : folder_(FolderOf(target)),
        prefix_(NameOf(target) + std::string(kTempMarker)),
        random_(std::random_device{}()) {}
  ~PendingFile() {
    const int error = errno;  // the cleanup must not hide why it failed
    fd_.Close();
    if (!named_.empty() && !published_) ::unlink(named_.c_str());
    errno = error;
  }
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;

  // Unnamed (O_TMPFILE), so that a crash cannot leave it behind, or named
  // at once where the file system has no unnamed files.
  bool Open(bool unnamed, mode_t mode) {
    if (unnamed) return fd_.Reset(::open(folder_.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode));
    return WithFreshName([&](const std::string& path) {
      return fd_.Reset(::open(path.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, mode));
    });
  }

  bool Write(std::string_view bytes) {
    while (!bytes.empty()) {
      const ssize_t n = ::write(fd_.get(), bytes.data(), bytes.size());
      if (n < 0 && errno == EINTR) continue;
      if (n == 0) errno = EIO;  // a write that makes no progress never will
      if (n <= 0) return false;
      bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
  }

  // The replaced file's owner (where allowed) and mode, then all on disk.
  bool Settle(const Existing& existing) {
    if (existing.present) {
      if (::fchown(fd_.get(), existing.status.st_uid, existing.status.st_gid) != 0) {
        // Only the superuser may give a file away: it stays the user's own.
      }
      if (::fchmod(fd_.get(), existing.status.st_mode & 07777) != 0) return false;
    }
    return ::fsync(fd_.get()) == 0;
  }

  // Names the file if it has no name yet, closes it and renames it over
  // the target.
  bool Publish(const std::string& target) {
    if (named_.empty() && !LinkName()) return false;
    if (!fd_.Close() || ::rename(named_.c_str(), target.c_str()) != 0) return false;
    published_ = true;
    SyncFolder(folder_);
    return true;
  }

 private:
  bool LinkName() {
    const std::string self = "/proc/self/fd/" + std::to_string(fd_.get());
    return WithFreshName([&](const std::string& path) {
      return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0;
    });
  }

  // Tries names until `create` succeeds with one; a name taken meanwhile
  // is the only reason to try another.
  template <typename Create>
  bool WithFreshName(Create create) {
    std::uniform_int_distribution<size_t> pick(0, kSuffixCharacters.size() - 1);
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
      std::string path = JoinPath(folder_, prefix_);
      for (size_t k = 0; k < kSuffixLength; ++k) path += kSuffixCharacters[pick(random_)];
      if (create(path)) {
        named_ = std::move(path);
        return true;
      }
      if (errno != EEXIST) return false;
    }
    return false;
  }

  std::string folder_;
  std::string prefix_;
  std::mt19937 random_;
  ScopedFd fd_;
  std::string named_;
  bool published_ = false;
};

bool ReplaceWith(const std::string& target, std::string_view bytes, const Existing& existing,
                 bool unnamed) {
  PendingFile file(target);
  // A private file stays private while its new contents are written.
  const mode_t mode = existing.present ? S_IRUSR | S_IWUSR : 0666;
  return file.Open(unnamed, mode) && file.Write(bytes) && file.Settle(existing) &&
         file.Publish(target);
}

}  // namespace

bool ReplaceFileAtomically(const std::string& path, std::string_view bytes) {
  try {
    const auto target = FollowLinks(path);
    if (!target) return false;
    const auto existing = ProbeWritable(*target);
    if (!existing) return false;
    // A second try with a named file serves file systems without unnamed
    // ones (or without /proc to name them by); a failure keeps the old file.
    return ReplaceWith(*target, bytes, *existing, true) ||
           ReplaceWith(*target, bytes, *existing, false);
  } catch (...) {
    errno = ENOMEM;
    return false;
  }
}

void RemoveStaleTemporaryFiles(const std::string& path) {
  try {
    const auto target = FollowLinks(path);
    if (!target) return;
    const std::string folder = FolderOf(*target);
    const std::string prefix = NameOf(*target) + std::string(kTempMarker);
    std::vector<std::string> stale;
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
    if (!dir) return;
    while (const dirent* entry = ::readdir(dir.get())) {
      if (IsTemporaryName(entry->d_name, prefix)) stale.push_back(JoinPath(folder, entry->d_name));
    }
    for (const auto& file : stale) {
      struct stat st {};
      if (::lstat(file.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid()) {
        ::unlink(file.c_str());
      }
    }
  } catch (...) {
    // Clearing up is a courtesy: a leftover costs nothing but its space.
  }
}

}  // namespace telpod::platform
