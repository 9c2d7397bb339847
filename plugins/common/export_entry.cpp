#include "plugins/common/export_entry.h"

#include <dlfcn.h>

#include <exception>
#include <string>

#include "plugins/common/plugin_messages.h"

namespace glyphmill::plugins {

const GlyphmillReportFailureV1* HostFailureReport() {
  void* symbol = dlsym(RTLD_DEFAULT, GLYPHMILL_HOST_QUERY_SYMBOL);
  if (symbol == nullptr) return nullptr;
  const auto query = reinterpret_cast<GlyphmillHostQueryProc>(symbol);
  const auto* record = static_cast<const GlyphmillReportFailureV1*>(query(GLYPHMILL_EXT_REPORT_FAILURE_V1));
  if (record == nullptr || record->struct_size < sizeof(GlyphmillReportFailureV1) || record->report_failure == nullptr)
    return nullptr;
  return record;
}

void RunExportEntry(const std::function<void()>& work) {
  const GlyphmillReportFailureV1* service = HostFailureReport();
  if (service == nullptr) {
    work();
    return;
  }
  try {
    work();
  } catch (const std::exception& e) {
    service->report_failure(e.what());
  } catch (...) {
    service->report_failure(UnexpectedFailureMessage().c_str());
  }
}

}  // namespace glyphmill::plugins
