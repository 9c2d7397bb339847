#include "cli/cli_front_end.h"

#include <future>

namespace glyphmill::cli {

void CliFrontEnd::ShowStatus(const std::string& text, const std::string& /*characters*/) {
  lastStatus_ = text;
  if (text.empty()) return;
  if (text[0] == '!') {
    console_.error(text.substr(1));
  } else if (text[0] == '.') {
    console_.info(text.substr(1));
  } else {
    console_.info(text);
  }
}

void CliFrontEnd::RunOnMainThreadBlocking(const std::function<void()>& call) {
  if (std::this_thread::get_id() == mainThread_) {
    call();
    return;
  }
  std::promise<void> done;
  queue_.post([&] {
    call();
    done.set_value();
  });
  done.get_future().wait();
}

}  // namespace glyphmill::cli
