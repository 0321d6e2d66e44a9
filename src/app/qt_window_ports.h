#pragma once

#include <QPointer>
#include <QSocketNotifier>
#include <QWidget>
#include <memory>

#include "app/window_ports.h"
#include "platform/wake_timer.h"

class QFileDialog;

namespace telpod {

// The real message boxes, modal over `parent`.
class QtMessageBoxes final : public platform::MessageBoxes {
 public:
  explicit QtMessageBoxes(QWidget* parent) : parent_(parent) {}
  void Show(const std::string& text, const std::string& title, platform::MessageIcon icon) override;
  size_t Ask(const std::string& text, const std::string& title, platform::MessageIcon icon,
             const std::vector<std::string>& choices) override;
  // Window-modal over `parent`, returning at once; the box deletes itself.
  void Tell(const std::string& text, const std::string& title, platform::MessageIcon icon) override;

 private:
  QPointer<QWidget> parent_;
};

class QtFileDialogs final : public platform::FileDialogs {
 public:
  explicit QtFileDialogs(QWidget* parent) : parent_(parent) {}
  std::optional<std::string> Choose(const platform::FileDialogRequest& request) override;
  void ChooseThenCall(const platform::FileDialogRequest& request,
                      std::function<void(const std::string&)> chosen) override;

 private:
  std::unique_ptr<QFileDialog> Dialog(const platform::FileDialogRequest& request);

  QPointer<QWidget> parent_;
};

class QtUrlOpener final : public platform::UrlOpener {
 public:
  void Open(const std::string& url) override;
};

// Pending window events, run once per call; a wait sleeps in Qt's event
// dispatcher with a nanosecond kernel timer beside the window's own sources,
// so that a click ends it as promptly as the deadline does.
class QtEventPump final : public platform::EventPump {
 public:
  void DoEvents() override;
  void WaitUntil(platform::Deadline deadline) override;

 private:
  bool WatchTimer();

  platform::WakeTimer timer_;
  std::unique_ptr<QSocketNotifier> timer_watch_;
};

}  // namespace telpod
