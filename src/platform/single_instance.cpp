#include "platform/single_instance.h"

#include <QDir>
#include <QLockFile>
#include <functional>
#include <string>

#include "platform/program_folder.h"

namespace telpod::platform {

namespace {

// One lock per program folder, so that tests running side by side with
// folders of their own never see each other as a running instance.
QString LockPath() {
  const auto key = std::hash<std::string>{}(ProgramFolder());
  return QDir::temp().filePath(QStringLiteral("telpod-%1.lock").arg(key, 16, 16, QChar('0')));
}

}  // namespace

SingleInstance::SingleInstance() = default;
SingleInstance::~SingleInstance() = default;

bool SingleInstance::Acquire() {
  lock_ = std::make_unique<QLockFile>(LockPath());
  lock_->setStaleLockTime(0);
  return lock_->tryLock(0);
}

}  // namespace telpod::platform
