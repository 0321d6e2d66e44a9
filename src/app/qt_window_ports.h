#pragma once

#include <QPointer>
#include <QWidget>

#include "app/window_ports.h"

namespace telpod {

// The real message boxes, modal over `parent`.
class QtMessageBoxes final : public platform::MessageBoxes {
 public:
  explicit QtMessageBoxes(QWidget* parent) : parent_(parent) {}
  void Show(const std::string& text, const std::string& title, platform::MessageIcon icon) override;
  size_t Ask(const std::string& text, const std::string& title, platform::MessageIcon icon,
             const std::vector<std::string>& choices) override;

 private:
  QPointer<QWidget> parent_;
};

class QtFileDialogs final : public platform::FileDialogs {
 public:
  explicit QtFileDialogs(QWidget* parent) : parent_(parent) {}
  std::optional<std::string> Choose(const platform::FileDialogRequest& request) override;

 private:
  QPointer<QWidget> parent_;
};

class QtUrlOpener final : public platform::UrlOpener {
 public:
  void Open(const std::string& url) override;
};

// Pending window events, run once per call.
class QtEventPump final : public platform::EventPump {
 public:
  void DoEvents() override;
};

}  // namespace telpod
