// Sending and receiving one packet of the plug-in host's channel (a SOCK_SEQPACKET socket): a
// fixed header followed by up to two texts, written in one sendmsg so that the packet arrives
// whole or not at all.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string_view>

namespace glyphmill::host_protocol {

// False when the packet could not be sent (the other side is gone, or it is too large).
bool SendPacket(int fd, const void* header, std::size_t headerSize, std::string_view first = {},
                std::string_view second = {});

// Reads one packet into `buffer`: its size, 0 when the other side has closed, -1 on an error
// (errno; EAGAIN when `wait` is false and nothing is there). A packet longer than `capacity` is
// cut to it.
ssize_t ReceivePacket(int fd, char* buffer, std::size_t capacity, bool wait);

}  // namespace glyphmill::host_protocol
