// CallWaiter: how a front end passes the time while a plug-in call runs in the plug-in host.
//
// The export run and the plug-in registry wait for the host's reply through it. The command-line
// tool simply blocks (BlockingCallWaiter); the window keeps its event loop serving paint events,
// with input to its windows held back, as a modal export would hold it back.
#pragma once

#include <chrono>

namespace glyphmill {

class CallWaiter {
 public:
  virtual ~CallWaiter() = default;
  // Returns when `fd` is readable or `timeout` has passed, whichever comes first; returning
  // earlier is allowed (the caller checks and waits again).
  virtual void waitReadable(int fd, std::chrono::milliseconds timeout) = 0;
};

// Blocks the calling thread in poll().
class BlockingCallWaiter : public CallWaiter {
 public:
  void waitReadable(int fd, std::chrono::milliseconds timeout) override;
};

}  // namespace glyphmill
