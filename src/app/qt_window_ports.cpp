#include "app/qt_window_ports.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>
#include <algorithm>
#include <memory>

namespace telpod {

namespace {

// A box over `parent` with the lines of `text`; the caller adds the buttons.
std::unique_ptr<QMessageBox> MessageBox(const std::string& text, const std::string& title,
                                        platform::MessageIcon icon, QWidget* parent) {
  const QMessageBox::Icon shown = icon == platform::MessageIcon::Critical  ? QMessageBox::Critical
                                  : icon == platform::MessageIcon::Warning ? QMessageBox::Warning
                                                                           : QMessageBox::NoIcon;
  return std::make_unique<QMessageBox>(
      shown, QString::fromStdString(title),
      QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")),
      QMessageBox::NoButton, parent);
}

}  // namespace

void QtMessageBoxes::Show(const std::string& text, const std::string& title,
                          platform::MessageIcon icon) {
  const auto box = MessageBox(text, title, icon, parent_);
  box->setStandardButtons(QMessageBox::Ok);
  box->exec();
}

void QtMessageBoxes::Tell(const std::string& text, const std::string& title,
                          platform::MessageIcon icon) {
  QMessageBox* box = MessageBox(text, title, icon, parent_).release();
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setStandardButtons(QMessageBox::Ok);
  box->open();
}

size_t QtMessageBoxes::Ask(const std::string& text, const std::string& title,
                           platform::MessageIcon icon, const std::vector<std::string>& choices) {
  const auto box = MessageBox(text, title, icon, parent_);
  std::vector<QPushButton*> buttons;
  for (const std::string& choice : choices) {
    buttons.push_back(box->addButton(QString::fromStdString(choice), QMessageBox::ActionRole));
  }
  if (buttons.empty()) return 0;
  box->setDefaultButton(buttons.front());
  box->setEscapeButton(buttons.front());
  box->exec();
  const auto chosen = std::find(buttons.begin(), buttons.end(), box->clickedButton());
  return chosen == buttons.end() ? 0 : static_cast<size_t>(chosen - buttons.begin());
}

std::unique_ptr<QFileDialog> QtFileDialogs::Dialog(const platform::FileDialogRequest& request) {
  auto dialog = std::make_unique<QFileDialog>(parent_, QString::fromStdString(request.title),
                                              QString::fromStdString(request.initial_folder),
                                              QString::fromStdString(request.filter));
  dialog->setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog->setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog->setOption(QFileDialog::ReadOnly, false);
  dialog->selectFile(QString::fromStdString(request.file_name));
  return dialog;
}

std::optional<std::string> QtFileDialogs::Choose(const platform::FileDialogRequest& request) {
  const auto dialog = Dialog(request);
  if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) return std::nullopt;
  return dialog->selectedFiles().constFirst().toStdString();
}

void QtFileDialogs::ChooseThenCall(const platform::FileDialogRequest& request,
                                   std::function<void(const std::string&)> chosen) {
  QFileDialog* dialog = Dialog(request).release();
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  QObject::connect(
      dialog, &QFileDialog::fileSelected, dialog,
      [chosen = std::move(chosen)](const QString& file) { chosen(file.toStdString()); });
  dialog->open();
}

void QtUrlOpener::Open(const std::string& url) {
  QDesktopServices::openUrl(QUrl(QString::fromStdString(url)));
}

void QtEventPump::DoEvents() {
  QCoreApplication::processEvents();
}

void QtEventPump::WaitUntil(platform::Deadline deadline) {
  if (!WatchTimer() || !timer_.Arm(deadline)) {
    DoEvents();  // without a timer the caller keeps passing, as it always could
    return;
  }
  QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  timer_.Disarm();
}

bool QtEventPump::WatchTimer() {
  if (!timer_.valid()) return false;
  if (!timer_watch_) {
    // Made at the first wait, when the thread's event dispatcher surely runs.
    timer_watch_ = std::make_unique<QSocketNotifier>(timer_.fd(), QSocketNotifier::Read);
    QObject::connect(timer_watch_.get(), &QSocketNotifier::activated, timer_watch_.get(),
                     [this] { timer_.Disarm(); });
  }
  return true;
}

}  // namespace telpod
