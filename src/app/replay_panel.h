#pragma once

#include <QWidget>
#include <string>

#include "model/elm327_info.h"
#include "platform/window_services.h"
#include "send/replay_slot.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace telpod {

// A recorded log played on the connected device beside the rows: the
// file is chosen without holding up the send loop, the slot the loop
// plays from is filled, and a bar under the connection controls shows the
// log's time played of its recorded time and the frames, with Stop. The
// summary is told in a box that leaves the loop going, when the log ends,
// at Stop, or when the connection ends. Neither the rows nor the settings
// are touched.
class ReplayPanel : public QWidget {
  Q_OBJECT

 public:
  ReplayPanel(ReplaySlot& slot, const ELM327_Info& device, platform::MessageBoxes& messages,
              platform::FileDialogs& dialogs, QWidget* parent = nullptr);

  // While the connection runs, a log may be played.
  void SetConnected(bool connected) { connected_ = connected; }
  // Asks for a log, then plays it.
  void ChooseAndPlay() noexcept;
  // Plays the log at `path`, or tells why it cannot.
  void Play(const std::string& path);
  bool Playing() const { return slot_.schedule() != nullptr; }
  // Stops the replay at once; its summary follows.
  void Stop();
  // The connection has ended: a replay still playing ends with it.
  void ConnectionEnded() noexcept;

  QProgressBar* Bar_Replay() const { return bar_; }
  QLabel* Lb_Replay() const { return label_; }
  QPushButton* Bt_Replay_Stop() const { return stop_; }

 signals:
  // A replay started or ended.
  void playingChanged(bool playing);

 private:
  // Brings the bar up to date; a replay that has ended is summed up.
  void Tick();
  void ShowProgress();
  void Finish();

  ReplaySlot& slot_;
  const ELM327_Info& device_;
  platform::MessageBoxes& messages_;
  platform::FileDialogs& dialogs_;
  bool connected_ = false;
  std::string file_name_;
  QProgressBar* bar_;
  QLabel* label_;
  QPushButton* stop_;
  QTimer* timer_;
};

}  // namespace telpod
