#include "host/reported_failure.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "glyphmill/host.h"

namespace glyphmill {
namespace {

constexpr char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD in UTF-8
constexpr std::size_t kReplacementBytes = sizeof kReplacement - 1;

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// The length of the well-formed UTF-8 sequence at `p` (with `left` bytes readable), or 0 when the
// byte there does not start one.
std::size_t SequenceLength(const unsigned char* p, std::size_t left) {
  const unsigned char lead = p[0];
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  // The range the second byte must lie in: it rules out overlong forms, surrogates and values
  // above U+10FFFF.
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (left < length || p[1] < low || p[1] > high) return 0;
  for (std::size_t i = 2; i < length; ++i)
    if (!IsContinuation(p[i])) return 0;
  return length;
}

}  // namespace

std::string BoundedUtf8(const char* message, std::size_t maxBytes) {
  std::string kept;
  if (message == nullptr) return kept;
  // Every byte read adds at least one byte to the result, so a character that starts beyond
  // maxBytes can never fit; the 4 more let the last one be seen whole.
  const std::size_t length = ::strnlen(message, maxBytes + 4);
  const auto* bytes = reinterpret_cast<const unsigned char*>(message);
  kept.reserve(std::min(length, maxBytes));
  std::size_t at = 0;
  while (at < length) {
    const std::size_t n = SequenceLength(bytes + at, length - at);
    const std::size_t adds = n == 0 ? kReplacementBytes : n;
    if (kept.size() + adds > maxBytes) break;
    if (n == 0) {
      kept.append(kReplacement, kReplacementBytes);
      ++at;
    } else {
      kept.append(message + at, n);
      at += n;
    }
  }
  return kept;
}

void ReportedFailure::report(const char* message) noexcept {
  if (reported_) return;
  reported_ = true;
  try {
    message_ = BoundedUtf8(message, GLYPHMILL_REPORT_FAILURE_MAX_BYTES);
  } catch (const std::bad_alloc&) {
    message_.clear();  // the call has failed all the same
  }
}

}  // namespace glyphmill
