// glyphmill_host_query as the plug-in host answers it: the font information records of the
// export call that is running, rebuilt from the image the program placed in shared memory.
//
// The host executable exports the function, so plug-ins find it with
// dlsym(RTLD_DEFAULT, GLYPHMILL_HOST_QUERY_SYMBOL). Outside a HostQueryScope it answers NULL. The
// current records are the one piece of process-wide state here: a C function has no other way to
// reach them. They are set and read on the host's only thread.
#pragma once

#include "glyphmill/host.h"
#include "host/font_info_image.h"

extern "C" __attribute__((visibility("default"))) const void* GLYPHMILL_CALL
glyphmill_host_query(const char* extension_id);

namespace glyphmill {

// Offers `records` (may be null: no font information) for the duration of one export call; the
// previous ones come back after it.
class HostQueryScope {
 public:
  explicit HostQueryScope(const FontInfoRecords* records);
  ~HostQueryScope();
  HostQueryScope(const HostQueryScope&) = delete;
  HostQueryScope& operator=(const HostQueryScope&) = delete;

 private:
  const FontInfoRecords* previous_;
};

}  // namespace glyphmill
