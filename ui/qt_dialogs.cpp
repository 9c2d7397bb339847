#include "ui/qt_dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

#include "ui/qt_ui_prompts.h"

namespace glyphmill {

namespace {

QMessageBox::Icon IconOf(DialogIcon icon) {
  switch (icon) {
    case DialogIcon::Information: return QMessageBox::Information;
    case DialogIcon::Warning: return QMessageBox::Warning;
    case DialogIcon::Error: return QMessageBox::Critical;
    case DialogIcon::None: break;
  }
  return QMessageBox::NoIcon;
}

// A box without a caption of its own carries the application's title.
QString CaptionOf(const DialogMessage& message) {
  if (message.caption.empty()) return QCoreApplication::applicationName();
  return QString::fromUtf8(message.caption.c_str());
}

}  // namespace

QString DisplayedText(const std::string& text) {
  QString shown = QString::fromUtf8(text.c_str(), static_cast<qsizetype>(text.size()));
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  shown.replace(QChar('\r'), QChar('\n'));
  return shown;
}

QWidget* QtDialogs::ownerOf(const DialogMessage& message) const {
  return message.owner == DialogOwner::MainWindow ? mainWindow_ : nullptr;
}

bool QtDialogs::askYesNo(const DialogMessage& question) {
  QMessageBox box(IconOf(question.icon), CaptionOf(question), DisplayedText(question.text),
                  QMessageBox::Yes | QMessageBox::No, ownerOf(question));
  return box.exec() == QMessageBox::Yes;
}

void QtDialogs::showMessage(const DialogMessage& message) {
  QMessageBox box(IconOf(message.icon), CaptionOf(message), DisplayedText(message.text), QMessageBox::Ok,
                  ownerOf(message));
  box.exec();
}

std::string QtDialogs::promptSaveFile(const SaveFileRequest& request) {
  QFileDialog dialog(mainWindow_, QString::fromUtf8(request.title.c_str()),
                     QString::fromUtf8(request.initialFolder.c_str()), QtNameFilter(request.filter));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  if (!request.confirmOverwrite) dialog.setOption(QFileDialog::DontConfirmOverwrite);
  if (!request.defaultExtension.empty()) dialog.setDefaultSuffix(QString::fromUtf8(request.defaultExtension.c_str()));
  if (!request.initialName.empty()) dialog.selectFile(QString::fromUtf8(request.initialName.c_str()));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return kCancelMarker;
  return dialog.selectedFiles().front().toStdString();
}

}  // namespace glyphmill
