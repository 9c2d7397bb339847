#include "host/message_channel.h"

#include <sys/socket.h>
#include <sys/uio.h>

#include <cerrno>

namespace glyphmill::host_protocol {

bool SendPacket(int fd, const void* header, std::size_t headerSize, std::string_view first, std::string_view second) {
  iovec parts[3] = {{const_cast<void*>(header), headerSize},
                    {const_cast<char*>(first.data()), first.size()},
                    {const_cast<char*>(second.data()), second.size()}};
  msghdr message{};
  message.msg_iov = parts;
  message.msg_iovlen = 3;
  const std::size_t total = headerSize + first.size() + second.size();
  for (;;) {
    const ssize_t sent = ::sendmsg(fd, &message, MSG_NOSIGNAL);
    if (sent < 0 && errno == EINTR) continue;
    return sent >= 0 && static_cast<std::size_t>(sent) == total;
  }
}

ssize_t ReceivePacket(int fd, char* buffer, std::size_t capacity, bool wait) {
  for (;;) {
    const ssize_t got = ::recv(fd, buffer, capacity, wait ? 0 : MSG_DONTWAIT);
    if (got < 0 && errno == EINTR) continue;
    return got;
  }
}

}  // namespace glyphmill::host_protocol
