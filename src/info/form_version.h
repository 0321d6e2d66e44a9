#pragma once

#include <QWidget>
#include <functional>

#include "model/elm327_info.h"
#include "platform/window_services.h"

class QLabel;

namespace telpod {

// The version window: title, maker caption and a link to the maker's web
// page on a dark card without a frame. It is moved by dragging its labels,
// its OK button or its background with the left button, and hidden, not
// closed, by OK.
class FormVersion : public QWidget {
  Q_OBJECT

 public:
  FormVersion(const ELM327_Info& device, platform::UrlOpener& urls, QWidget* parent = nullptr);

  // How a drag hands the window to the system; tests count the calls.
  void set_drag_starter(std::function<void()> starter) { drag_starter_ = std::move(starter); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  QLabel* AddLabel(const char* name, const QString& text);
  void StartDrag();
  void Img_OK_Click();

  const ELM327_Info& device_;
  platform::UrlOpener& urls_;
  std::function<void()> drag_starter_;
  QLabel* Lb_App_Title_;
  QLabel* Lb_copylight_;
  QLabel* Lb_URL_;
  QLabel* PicURL_;
  QLabel* Img_OK_;
  QLabel* Lb_OK_;
};

}  // namespace telpod
