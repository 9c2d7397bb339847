#include "cli/console.h"

#include <algorithm>

#include "cli/terminal_text.h"

namespace glyphmill::cli {
namespace {

constexpr int kBarWidth = 40;

}  // namespace

std::string Console::Printable(const std::string& text) { return EscapeControls(text, true); }

void Console::info(const std::string& text) {
  if (quiet_) return;
  write(text);
}

void Console::error(const std::string& text) { write(text); }

void Console::write(const std::string& text) {
  std::lock_guard<std::mutex> guard(mutex_);
  clearBar();
  err_ << Printable(text) << '\n';
  if (barShown_) drawBar();
  err_.flush();
}

void Console::showProgress(int32_t maximum) {
  if (quiet_ || !terminal_) return;
  std::lock_guard<std::mutex> guard(mutex_);
  maximum_ = std::max<int32_t>(maximum, 1);
  position_ = 0;
  barShown_ = true;
  drawBar();
  err_.flush();
}

void Console::setProgress(int32_t position) {
  if (quiet_ || !terminal_) return;
  std::lock_guard<std::mutex> guard(mutex_);
  if (!barShown_) return;
  position_ = std::clamp(position, 0, maximum_);
  drawBar();
  err_.flush();
}

void Console::hideProgress() {
  if (quiet_ || !terminal_) return;
  std::lock_guard<std::mutex> guard(mutex_);
  clearBar();
  barShown_ = false;
  err_.flush();
}

void Console::drawBar() {
  const int filled = static_cast<int>(static_cast<int64_t>(position_) * kBarWidth / maximum_);
  const int percent = static_cast<int>(static_cast<int64_t>(position_) * 100 / maximum_);
  err_ << '\r' << '[' << std::string(filled, '#') << std::string(kBarWidth - filled, ' ') << "] " << percent << '%';
}

void Console::clearBar() {
  if (barShown_) err_ << '\r' << std::string(kBarWidth + 8, ' ') << '\r';
}

}  // namespace glyphmill::cli
