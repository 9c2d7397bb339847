// RenderHost: how a render job reaches its front end.
//
// Both calls are made on the job's own thread. The window program serves them with a blocking
// hand-off to its UI thread; the command-line tool and the tests serve them directly.
#pragma once

#include <cstdint>
#include <string>

namespace glyphmill {

class RenderThread;

class RenderHost {
 public:
  virtual ~RenderHost() = default;

  // Shows a progress report and returns only once it has been shown. `progress` of -1 leaves the
  // progress bar where it is; an empty `status` leaves the status line as it is.
  virtual void ReportProgress(int32_t progress, const std::string& status) = 0;

  // The job's run has returned (normally or after a stop request). The host arranges the hand-back
  // of `job`'s results and the completion on its main thread; it may tell a superseded job apart by
  // comparing `job` with its current one. The job object stays alive until the host deletes it,
  // and the host joins the job's thread (RenderThread::join) before deleting it.
  virtual void JobFinished(RenderThread& job) = 0;
};

}  // namespace glyphmill
