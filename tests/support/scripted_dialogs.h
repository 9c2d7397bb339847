// ScriptedDialogs: a Dialogs implementation that answers from queued answers and records every
// question, message and prompt, for the command-line tool and the tests.
//
// Answers are taken in order from their queue; when a queue runs dry the fallback answer is given
// (No for questions and kCancelMarker for prompts, unless changed).
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "export/dialogs.h"

namespace glyphmill {

class ScriptedDialogs : public Dialogs {
 public:
  enum class Kind { Question, Message, SaveFile };

  // One exchange, in the order it happened.
  struct Entry {
    Kind kind = Kind::Message;
    DialogMessage message;    // for Question and Message
    SaveFileRequest request;  // for SaveFile
    std::string answer;       // "Yes"/"No" for a question, the returned path for a prompt
  };

  // Queue answers for the next questions / prompts.
  void queueAnswer(bool yes) { answers_.push_back(yes); }
  void queueSavePath(std::string path) { paths_.push_back(std::move(path)); }
  void setFallbackAnswer(bool yes) { fallbackAnswer_ = yes; }
  void setFallbackSavePath(std::string path) { fallbackPath_ = std::move(path); }

  bool askYesNo(const DialogMessage& question) override;
  void showMessage(const DialogMessage& message) override;
  std::string promptSaveFile(const SaveFileRequest& request) override;

  const std::vector<Entry>& log() const { return log_; }
  // Entries of one kind, in order.
  std::vector<Entry> entries(Kind kind) const;
  void clearLog() { log_.clear(); }

 private:
  std::deque<bool> answers_;
  std::deque<std::string> paths_;
  bool fallbackAnswer_ = false;
  std::string fallbackPath_ = kCancelMarker;
  std::vector<Entry> log_;
};

}  // namespace glyphmill
