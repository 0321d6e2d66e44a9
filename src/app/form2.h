#pragma once

#include <QWidget>

class QLabel;

namespace telpod {

// The small progress window of the start-up search.
class Form2 : public QWidget {
  Q_OBJECT

 public:
  explicit Form2(QWidget* parent = nullptr);

  // Moves the bar to fraction p (0..1) of its track.
  void SetProgress(double p);
  void SetMessage(const QString& text);
  // Left edge of the moving element, in pixels of the track.
  int ProgressLeft() const;

 private:
  QLabel* Lb_msg_;
  QWidget* track_;  // Pic_ProgressBar_0
  QWidget* cover_;  // Pic_ProgressBar_1, slides right to uncover the track
};

}  // namespace telpod
