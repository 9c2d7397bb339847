// Console: where glyphmill-cli's messages go. Everything the window would show in a message box
// or on its status line goes to standard error, one message per line, with each carriage return
// shown as a line break and every other control character escaped (cli/terminal_text.h). `quiet` silences everything
// but errors. When standard error is a terminal, a progress bar is drawn on its last line and cleared before any
// message.
#pragma once

#include <cstdint>
#include <mutex>
#include <ostream>
#include <string>

namespace glyphmill::cli {

class Console {
 public:
  Console(std::ostream& err, bool quiet, bool terminal) : err_(err), quiet_(quiet), terminal_(terminal) {}

  void info(const std::string& text);   // not shown when quiet
  void error(const std::string& text);  // always shown

  // The progress bar: shown only on a terminal and when not quiet.
  void showProgress(int32_t maximum);
  void setProgress(int32_t position);
  void hideProgress();

  bool quiet() const { return quiet_; }

  // A message's text as printed: carriage returns become line feeds, other control characters
  // are shown escaped.
  static std::string Printable(const std::string& text);

 private:
  void write(const std::string& text);
  void drawBar();
  void clearBar();

  std::mutex mutex_;
  std::ostream& err_;
  bool quiet_;
  bool terminal_;
  bool barShown_ = false;
  int32_t maximum_ = 0;
  int32_t position_ = 0;
};

}  // namespace glyphmill::cli
