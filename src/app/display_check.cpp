#include "app/display_check.h"

#include <cstdio>
#include <cstdlib>

namespace telpod {

namespace {

// Qt calls a message handler with no object of ours, so it reaches the
// guard through here while one is active.
DisplayGuard* active_guard = nullptr;

bool Set(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

}  // namespace

bool DisplayNamed(const std::vector<std::string>& arguments) {
  for (const auto& argument : arguments) {
    if (argument == "-platform" || argument == "--platform") return true;
  }
  return Set("QT_QPA_PLATFORM") || Set("DISPLAY") || Set("WAYLAND_DISPLAY");
}

DisplayGuard::DisplayGuard() {
  active_guard = this;
  previous_ = qInstallMessageHandler(&DisplayGuard::HoldOrEnd);
}

DisplayGuard::~DisplayGuard() {
  qInstallMessageHandler(previous_);
  active_guard = nullptr;
  for (const Held& m : held_) {
    const QMessageLogContext context(m.file.c_str(), m.line, m.function.c_str(),
                                     m.category.c_str());
    qt_message_output(m.type, context, m.text);
  }
}

void DisplayGuard::HoldOrEnd(QtMsgType type, const QMessageLogContext& context,
                             const QString& text) {
  if (type == QtFatalMsg) {
    // Only the platform's start is watched: its fatal message means no display.
    std::fputs(kNoDisplayLine, stderr);
    std::_Exit(1);
  }
  if (active_guard == nullptr) return;
  const auto text_of = [](const char* s) { return std::string(s != nullptr ? s : ""); };
  active_guard->held_.push_back({type, text_of(context.file), context.line,
                                 text_of(context.function), text_of(context.category), text});
}

}  // namespace telpod
