// Running one plug-in call in a child process, so that a plug-in that crashes, throws, exits or
// hangs takes neither the program nor the person's unsaved work with it.
//
// The process forks; the child runs the call, sends a short reply through a pipe and leaves with
// _exit (no exit handlers, no destructors of the parent's objects). The parent waits for the reply
// and the child's end, up to a time limit, and kills the child's process group when the limit
// passes. The child touches nothing but the call: the call must not use another thread's locks,
// Qt, or anything else the fork could have left half-held.
//
// What the call changes in memory stays in the child; the reply bytes are the only way back. A
// plug-in therefore keeps no state from one call to the next.
#pragma once

#include <chrono>
#include <functional>
#include <string>

namespace glyphmill {

struct IsolatedCallResult {
  bool ok = false;
  std::string reply;    // on success: the bytes the call returned
  std::string failure;  // otherwise: what went wrong, as a message for the person
};

// Runs `call` in a child process and waits at most `limit` for it. The call's return value comes
// back as `reply`; a C++ exception it raises becomes `failure` with the exception's message.
IsolatedCallResult RunIsolated(const std::function<std::string()>& call, std::chrono::milliseconds limit);

}  // namespace glyphmill
