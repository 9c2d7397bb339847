// File dialogs that start in the folder last used for their kind of file. The kind is the file
// pattern of the dialog's filter ("*.gmp" for projects, "*.fnt" for a BMFont descriptor, ...), so
// the project open and save dialogs share one folder and each export format keeps its own. The
// folders are kept in the window's preferences.
//
// Both wrappers serve the same seams as the dialogs they wrap, so whoever answers those (a person
// through Qt, or a test script) sees the starting folder and answers as before.
#pragma once

#include <QSettings>
#include <string>

#include "export/dialogs.h"
#include "ui/ui_prompts.h"

namespace glyphmill {

class DialogFolders {
 public:
  explicit DialogFolders(QSettings& preferences) : preferences_(preferences) {}
  // The folder last used for `kind`; empty when none is known or it no longer exists.
  std::string folderFor(const std::string& kind) const;
  // Remembers the folder of the chosen `path` for `kind`.
  void remember(const std::string& kind, const std::string& path);

  // The kind of a "Caption|pattern" filter: its pattern (the whole text when it has no "|").
  static std::string KindOf(const std::string& filter);

 private:
  QSettings& preferences_;
};

// Dialogs whose save prompt starts in the remembered folder (unless the request names a folder of
// its own) and remembers the folder of the chosen file.
class FolderRememberingDialogs : public Dialogs {
 public:
  FolderRememberingDialogs(Dialogs& inner, DialogFolders& folders) : inner_(inner), folders_(folders) {}
  bool askYesNo(const DialogMessage& question) override { return inner_.askYesNo(question); }
  void showMessage(const DialogMessage& message) override { inner_.showMessage(message); }
  std::string promptSaveFile(const SaveFileRequest& request) override;

 private:
  Dialogs& inner_;
  DialogFolders& folders_;
};

// UiPrompts whose open dialog starts in the remembered folder and remembers the chosen one.
class FolderRememberingPrompts : public UiPrompts {
 public:
  FolderRememberingPrompts(UiPrompts& inner, DialogFolders& folders) : inner_(inner), folders_(folders) {}
  std::optional<uint32_t> chooseColour(uint32_t initial) override { return inner_.chooseColour(initial); }
  std::optional<uint32_t> chooseColourAgain() override { return inner_.chooseColourAgain(); }
  std::optional<std::string> chooseItem(const std::string& title, const std::string& label,
                                        const std::vector<std::string>& items) override {
    return inner_.chooseItem(title, label, items);
  }
  std::optional<std::string> openFile(const std::string& title, const std::string& filter) override;
  std::optional<std::string> openFileIn(const std::string& title, const std::string& filter,
                                        const std::string& folder) override;

 private:
  UiPrompts& inner_;
  DialogFolders& folders_;
};

}  // namespace glyphmill
