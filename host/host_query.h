// glyphmill_host_query as the plug-in host answers it, during the export call that is running:
// the font information records and the texture pages, rebuilt from the image the program placed
// in shared memory, and
// the failure report service, which keeps what the plug-in reports in that call's ReportedFailure.
//
// The host executable exports the function, so plug-ins find it with
// dlsym(RTLD_DEFAULT, GLYPHMILL_HOST_QUERY_SYMBOL). Outside a HostQueryScope it answers NULL, and a
// failure reported then is dropped. What the scope offers is the one piece of process-wide state
// here: a C function has no other way to reach it. The scope is set and the query answered on the
// host's only thread; a failure may be reported from any thread a plug-in started.
#pragma once

#include "glyphmill/host.h"
#include "host/font_info_image.h"
#include "host/reported_failure.h"

extern "C" __attribute__((visibility("default"))) const void* GLYPHMILL_CALL
glyphmill_host_query(const char* extension_id);

namespace glyphmill {

// Offers `records` (may be null: no font information) and takes failure reports into `failure`
// (may be null: no failure report service) for the duration of one export call; the previous
// ones come back after it.
class HostQueryScope {
 public:
  HostQueryScope(const FontInfoRecords* records, ReportedFailure* failure);
  ~HostQueryScope();
  HostQueryScope(const HostQueryScope&) = delete;
  HostQueryScope& operator=(const HostQueryScope&) = delete;

 private:
  const FontInfoRecords* previousRecords_;
  ReportedFailure* previousFailure_;
};

}  // namespace glyphmill
