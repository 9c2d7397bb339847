#include "cli/cli_dialogs.h"

#include "cli/output_path.h"
#include "export/export_messages.h"
#include "export/export_prompt.h"

namespace glyphmill::cli {
namespace {

std::string Boxed(const DialogMessage& m) { return m.caption.empty() ? m.text : m.caption + ": " + m.text; }

}  // namespace

bool CliDialogs::askYesNo(const DialogMessage& question) {
  if (question.caption == export_text::kFitWarningCaption) {
    if (force_) {
      console_.info(Boxed(question) + "\r(--force: yes)");
      return true;
    }
    fitDeclined_ = true;
    return false;
  }
  if (question.caption == export_text::kAbortCaption) {
    ++abortQuestions_;
    return false;
  }
  console_.info(Boxed(question) + "\r(answered no)");
  return false;
}

void CliDialogs::showMessage(const DialogMessage& message) {
  if (message.icon == DialogIcon::Error) {
    ++errorMessages_;
    console_.error(Boxed(message));
  } else {
    console_.info(Boxed(message));
  }
}

std::string CliDialogs::ForcedPath(const SaveFileRequest& request, const std::string& answer) {
  // A plug-in without an extension gets the "All Files" filter and keeps the answer as it is;
  // otherwise the filter's pattern "*.EXT" carries the extension that is forced.
  if (request.filter == export_text::kAllFilesFilter || request.filterPattern.rfind("*.", 0) != 0) return answer;
  return ForceExtension(answer, request.filterPattern.substr(2));
}

std::string CliDialogs::NumberedPath(const std::string& path, int number) {
  const std::size_t slash = path.rfind('/');
  const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  const std::size_t dot = path.rfind('.');
  const std::string suffix = "-" + std::to_string(number);
  if (dot == std::string::npos || dot <= nameStart) return path + suffix;
  return path.substr(0, dot) + suffix + path.substr(dot);
}

std::string CliDialogs::promptSaveFile(const SaveFileRequest& request) {
  const std::string forced = ForcedPath(request, output_);
  std::string path = forced;
  for (int n = 2; given_.count(path); ++n) {
    path = NumberedPath(forced, n);
    // A name that is all extension (".fnt") would lose its number when the extension is forced
    // again; the number then becomes the name ("-2.fnt"), so two exports never share a path.
    if (ForcedPath(request, path) != path)
      path = ForcedPath(request, forced.substr(0, forced.rfind('.')) + "-" + std::to_string(n));
  }
  given_.insert(path);
  // A save dialog can only answer with a folder that exists; the command line may name a new one.
  if (const Result<void> folder = CreateParentFolder(path); !folder) {
    ++errorMessages_;
    console_.error(request.title + ": " + folder.error());
    return kCancelMarker;
  }
  console_.info(request.title + ": " + path);
  return path;
}

}  // namespace glyphmill::cli
