// QtCallWaiter: the window's way of waiting for a plug-in call. A call that answers within a few
// milliseconds is simply waited for; a longer one runs a local event loop until the plug-in host
// answers or the time is up, so the window keeps painting. Meanwhile input to every window is
// held back and closing is refused, as a modal export would do, and the busy cursor shows.
#pragma once

#include "export/call_waiter.h"

namespace glyphmill {

class QtCallWaiter : public CallWaiter {
 public:
  void waitReadable(int fd, std::chrono::milliseconds timeout) override;
};

}  // namespace glyphmill
