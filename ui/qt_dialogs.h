// Dialogs served with Qt: message boxes and Yes/No questions with their caption and icon, and the
// save-file prompt of the export run and the project save.
#pragma once

#include <QString>

#include "export/dialogs.h"

class QWidget;

namespace glyphmill {

// A text as built (lines joined by carriage returns) as it is displayed: each CR a line break.
QString DisplayedText(const std::string& text);

class QtDialogs : public Dialogs {
 public:
  explicit QtDialogs(QWidget* mainWindow = nullptr) : mainWindow_(mainWindow) {}
  void setMainWindow(QWidget* mainWindow) { mainWindow_ = mainWindow; }

  bool askYesNo(const DialogMessage& question) override;
  void showMessage(const DialogMessage& message) override;
  std::string promptSaveFile(const SaveFileRequest& request) override;

 private:
  QWidget* ownerOf(const DialogMessage& message) const;
  QWidget* mainWindow_;
};

}  // namespace glyphmill
