#include "app/replay_panel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <filesystem>

#include "platform/ignoring_errors.h"
#include "send/replay_summary_text.h"
#include "settings/logs/recorded_log.h"

namespace telpod {

namespace {
constexpr int kTickMs = 100;
constexpr int kBarSteps = 1000;

QString Seconds(double s) {
  return QString::fromStdString(ThreeDecimals(s));
}
}  // namespace

ReplayPanel::ReplayPanel(ReplaySlot& slot, const ELM327_Info& device,
                         platform::MessageBoxes& messages, platform::FileDialogs& dialogs,
                         QWidget* parent)
    : QWidget(parent),
      slot_(slot),
      device_(device),
      messages_(messages),
      dialogs_(dialogs),
      bar_(new QProgressBar(this)),
      label_(new QLabel(this)),
      stop_(new QPushButton(tr("停止"), this)),
      timer_(new QTimer(this)) {
  setObjectName(QStringLiteral("ReplayPanel"));
  bar_->setObjectName(QStringLiteral("Bar_Replay"));
  bar_->setAccessibleName(bar_->objectName());
  bar_->setRange(0, kBarSteps);
  label_->setObjectName(QStringLiteral("Lb_Replay"));
  label_->setAccessibleName(label_->objectName());
  stop_->setObjectName(QStringLiteral("Bt_Replay_Stop"));
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(6, 0, 6, 0);
  layout->addWidget(label_, 1);
  layout->addWidget(bar_, 1);
  layout->addWidget(stop_);
  timer_->setInterval(kTickMs);
  connect(timer_, &QTimer::timeout, this, [this] { platform::IgnoringErrors([this] { Tick(); }); });
  connect(stop_, &QPushButton::clicked, this,
          [this] { platform::IgnoringErrors([this] { Stop(); }); });
  hide();
}

void ReplayPanel::ChooseAndPlay() noexcept {
  platform::IgnoringErrors([this] {
    if (!connected_ || Playing()) return;
    const platform::FileDialogRequest request{
        tr("再生するログファイルを選択").toStdString(), device_.t_setting_file_path(), "",
        tr("CAN ログ (*.log *.asc);;すべてのファイル (*)").toStdString(), false};
    dialogs_.ChooseThenCall(request, [this](const std::string& path) {
      platform::IgnoringErrors([&] { Play(path); });
    });
  });
}

void ReplayPanel::Play(const std::string& path) {
  // The connection may have ended, or another log begun, while the dialog was open.
  if (!connected_ || Playing()) return;
  LogOpening log = OpenRecordedLog(path);
  if (!log.frames) {
    messages_.Tell(log.error, platform::Tr(replay_text::kTitle), platform::MessageIcon::Critical);
    return;
  }
  file_name_ = std::filesystem::path(path).filename().string();
  slot_.Load(std::make_unique<ReplaySchedule>(std::move(log.frames), ReplayOptions{}));
  ShowProgress();
  show();
  timer_->start();
  emit playingChanged(true);
}

void ReplayPanel::Stop() {
  if (ReplaySchedule* replay = slot_.schedule()) replay->Stop();
  Tick();
}

void ReplayPanel::ConnectionEnded() noexcept {
  connected_ = false;
  platform::IgnoringErrors([this] { Stop(); });
}

void ReplayPanel::Tick() {
  const ReplaySchedule* replay = slot_.schedule();
  if (replay == nullptr) return;
  if (replay->Finished()) {
    Finish();
  } else {
    ShowProgress();
  }
}

void ReplayPanel::ShowProgress() {
  const ReplayProgress p = slot_.schedule()->Progress();
  bar_->setValue(static_cast<int>(p.fraction * kBarSteps));
  const QString frames = QString::number(p.frames);
  const QString name = QString::fromStdString(file_name_);
  label_->setText(p.recorded_s
                      ? tr("%1：%2 / %3 秒、%4 フレーム")
                            .arg(name, Seconds(p.played_s), Seconds(*p.recorded_s), frames)
                      : tr("%1：%2 秒、%3 フレーム").arg(name, Seconds(p.played_s), frames));
}

void ReplayPanel::Finish() {
  timer_->stop();
  hide();
  const ReplaySummary summary = slot_.Unload()->Summary();
  emit playingChanged(false);
  std::string text = tr("ログファイル：%1").arg(QString::fromStdString(file_name_)).toStdString();
  for (const std::string& line : ReplaySummaryLines(summary)) text += platform::kCrLf + line;
  messages_.Tell(text, platform::Tr(replay_text::kTitle), platform::MessageIcon::None);
}

}  // namespace telpod
