// Dialogs: the one seam through which the export run and the plug-in registry talk to a person.
//
// The window program serves it with Qt message boxes and file dialogs; the command-line tool and
// the tests serve it with scripted answers (ScriptedDialogs). The core never blocks on anything
// but these calls.
//
// Texts are passed exactly as built: lines are joined with a single carriage return (character
// 13) and a front end shows a carriage return as a line break only when it displays the text.
#pragma once

#include <string>

namespace glyphmill {

// The output path the save prompt returns when the person cancels the dialog. A path equal to it
// means the plug-in is not called.
inline constexpr const char* kCancelMarker = "CANCEL!";

// The icon a message box or question shows.
enum class DialogIcon { None, Information, Warning, Error };

// Whether a box is owned by the main window (modal to it, centred on it) or has no owner window.
enum class DialogOwner { MainWindow, None };

// One message box or Yes/No question. An empty caption means the box has no caption of its own.
struct DialogMessage {
  std::string caption;
  std::string text;
  DialogIcon icon = DialogIcon::None;
  DialogOwner owner = DialogOwner::None;
  bool operator==(const DialogMessage&) const = default;
};

// The save-file prompt of one export. `filter` is one entry "Caption|pattern" ("All Files|*.*",
// or "Name (*.fnt)|*.fnt"); `filterCaption` and `filterPattern` are its two halves, for front
// ends that want them apart. The dialog asks before overwriting an existing file.
struct SaveFileRequest {
  std::string title;
  std::string filter;
  std::string filterCaption;
  std::string filterPattern;
  std::string defaultExtension;     // empty: none
  std::string initialFolder = ".";  // the process's current folder
  std::string initialName;          // empty
  bool confirmOverwrite = true;
  bool operator==(const SaveFileRequest&) const = default;
};

class Dialogs {
 public:
  virtual ~Dialogs() = default;

  // A Yes/No question; true for Yes.
  virtual bool askYesNo(const DialogMessage& question) = 0;

  // A message box with a single OK button.
  virtual void showMessage(const DialogMessage& message) = 0;

  // The save-file dialog: the chosen path, or kCancelMarker when it was cancelled.
  virtual std::string promptSaveFile(const SaveFileRequest& request) = 0;
};

}  // namespace glyphmill
