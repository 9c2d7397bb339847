// CliDialogs: the command line's answers to the questions, message boxes and save prompts of the
// export run, the plug-in registry and project loading.
//
// - The fit warning ("the font doesnt fit") is answered Yes only with --force; a No is remembered
//   so the run can end with its own exit status.
// - "Abort?" after a failed batch job is answered No: the remaining exports still run. Every other
//   question is answered No.
// - Message boxes are printed (error boxes always, others unless quiet) as "CAPTION: TEXT".
// - The save prompt is answered with --output (or, without it, a name made from the font). The
//   plug-in's extension is then forced onto it exactly as the export run forces it on a dialog's
//   answer; when a later prompt of the same run would end at a path already given, "-2", "-3", ...
//   are put before that path's extension.
#pragma once

#include <set>
#include <string>

#include "cli/console.h"
#include "export/dialogs.h"

namespace glyphmill::cli {

class CliDialogs : public Dialogs {
 public:
  CliDialogs(Console& console, bool force) : console_(console), force_(force) {}

  // The answer to every save prompt until changed.
  void setOutput(std::string path) { output_ = std::move(path); }

  bool askYesNo(const DialogMessage& question) override;
  void showMessage(const DialogMessage& message) override;
  std::string promptSaveFile(const SaveFileRequest& request) override;

  bool fitDeclined() const { return fitDeclined_; }
  int errorMessages() const { return errorMessages_; }     // error boxes shown so far
  int failedBatchJobs() const { return abortQuestions_; }  // "Abort?" questions so far

  // The path a save prompt with `request` ends at for the answer `answer` (the extension forced
  // as the export run forces it); exposed for the tests.
  static std::string ForcedPath(const SaveFileRequest& request, const std::string& answer);
  // `path` with "-N" put before the extension of its file name ("font.fnt" -> "font-2.fnt").
  static std::string NumberedPath(const std::string& path, int number);

 private:
  Console& console_;
  bool force_;
  std::string output_;
  std::set<std::string> given_;
  bool fitDeclined_ = false;
  int errorMessages_ = 0;
  int abortQuestions_ = 0;
};

}  // namespace glyphmill::cli
