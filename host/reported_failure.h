// ReportedFailure: what a plug-in reported through glyphmill.report-failure/1 during one export
// call (glyphmill/host.h). The first report fails the call and its message is kept; later ones
// change nothing. Messages are kept as bounded, valid UTF-8.
#pragma once

#include <cstddef>
#include <string>

namespace glyphmill {

class ReportedFailure {
 public:
  // Fails the call; keeps `message` (may be null) when it is the first report. Never throws: it is
  // called from plug-in code.
  void report(const char* message) noexcept;

  bool reported() const { return reported_; }
  // The kept message; empty when the plug-in gave none.
  const std::string& message() const { return message_; }

 private:
  bool reported_ = false;
  std::string message_;
};

// `message` as the host keeps it: at most `maxBytes` bytes of UTF-8, cut before a character that
// would not fit whole, with every byte that does not belong to a well-formed UTF-8 sequence
// (overlong forms, surrogates and values above U+10FFFF included) replaced by U+FFFD. Reads at
// most maxBytes + 4 bytes of `message`, so an unending text costs no more than a short one. Null
// gives "".
std::string BoundedUtf8(const char* message, std::size_t maxBytes);

}  // namespace glyphmill
