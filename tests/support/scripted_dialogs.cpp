#include "tests/support/scripted_dialogs.h"

namespace glyphmill {

bool ScriptedDialogs::askYesNo(const DialogMessage& question) {
  bool yes = fallbackAnswer_;
  if (!answers_.empty()) {
    yes = answers_.front();
    answers_.pop_front();
  }
  Entry e;
  e.kind = Kind::Question;
  e.message = question;
  e.answer = yes ? "Yes" : "No";
  log_.push_back(std::move(e));
  return yes;
}

void ScriptedDialogs::showMessage(const DialogMessage& message) {
  Entry e;
  e.kind = Kind::Message;
  e.message = message;
  log_.push_back(std::move(e));
}

std::string ScriptedDialogs::promptSaveFile(const SaveFileRequest& request) {
  std::string path = fallbackPath_;
  if (!paths_.empty()) {
    path = std::move(paths_.front());
    paths_.pop_front();
  }
  Entry e;
  e.kind = Kind::SaveFile;
  e.request = request;
  e.answer = path;
  log_.push_back(std::move(e));
  return path;
}

std::vector<ScriptedDialogs::Entry> ScriptedDialogs::entries(Kind kind) const {
  std::vector<Entry> out;
  for (const Entry& e : log_)
    if (e.kind == kind) out.push_back(e);
  return out;
}

}  // namespace glyphmill
