// The request loop of the plug-in host: loads plug-in libraries and runs their entry points as
// the program asks, over the channel and shared memory region of host/host_protocol.h.
#pragma once

namespace glyphmill {

// Serves requests on `channelFd` until the program closes its end; returns the exit status.
int RunPluginHost(int channelFd, int regionFd);

}  // namespace glyphmill
