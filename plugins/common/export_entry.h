// How a shipped exporter's entry point ends: its work throws std::runtime_error with the reason
// when the export cannot be written, and that exception stops here. In a host that offers
// glyphmill.report-failure/1 (glyphmill/host.h) the reason is reported through it and the entry
// point returns normally, so no C++ exception crosses the C interface. A host without the service
// can learn of a failure only from an exception, so there the exception goes on to the host as
// before.
#pragma once

#include <functional>

#include "glyphmill/host.h"

namespace glyphmill::plugins {

// [main-thread] Runs one export entry's work as described above. Call it from inside the entry
// point, with everything the entry does.
void RunExportEntry(const std::function<void()>& work);

// [main-thread] The failure report service of the running export call: the record the host query
// answers when it is complete; null when the host offers none.
const GlyphmillReportFailureV1* HostFailureReport();

}  // namespace glyphmill::plugins
