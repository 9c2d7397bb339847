#include "settings/text_characters.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace glyphmill {
namespace {

constexpr std::size_t kReadPiece = 64u << 10;

bool IsControl(uint32_t cp) { return cp < 0x20 || (cp >= 0x7F && cp <= 0x9F); }

std::string Malformed(const char* form, std::size_t offset) {
  return std::string("malformed ") + form + " at byte " + std::to_string(offset);
}

// One decoder step: the next character of the text from byte `i` on, advancing `i`.
using Decoder = bool (*)(std::string_view text, std::size_t& i, uint32_t* cp, std::string* error);

bool NextUtf8(std::string_view text, std::size_t& i, uint32_t* out, std::string* error) {
  const std::size_t at = i;
  const uint8_t lead = static_cast<uint8_t>(text[i++]);
  uint32_t cp = 0;
  int follow = 0;
  uint32_t minimum = 0;
  if (lead < 0x80) {
    cp = lead;
  } else if ((lead & 0xE0) == 0xC0) {
    cp = lead & 0x1F, follow = 1, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    cp = lead & 0x0F, follow = 2, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    cp = lead & 0x07, follow = 3, minimum = 0x10000;
  } else {
    *error = Malformed("UTF-8", at);
    return false;
  }
  for (int k = 0; k < follow; ++k) {
    if (i >= text.size() || (static_cast<uint8_t>(text[i]) & 0xC0) != 0x80) {
      *error = Malformed("UTF-8", at);
      return false;
    }
    cp = (cp << 6) | (static_cast<uint8_t>(text[i++]) & 0x3F);
  }
  if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    *error = Malformed("UTF-8", at);
    return false;
  }
  *out = cp;
  return true;
}

template <bool BigEndian>
bool NextUtf16(std::string_view text, std::size_t& i, uint32_t* out, std::string* error) {
  const auto unitAt = [&text](std::size_t k) -> uint32_t {
    const auto a = static_cast<uint8_t>(text[k]), b = static_cast<uint8_t>(text[k + 1]);
    return BigEndian ? (uint32_t{a} << 8 | b) : (uint32_t{b} << 8 | a);
  };
  const std::size_t at = i;
  if (text.size() - i < 2) {
    *error = Malformed("UTF-16", at);
    return false;
  }
  const uint32_t unit = unitAt(i);
  i += 2;
  if (unit >= 0xDC00 && unit <= 0xDFFF) {
    *error = Malformed("UTF-16", at);
    return false;
  }
  if (unit >= 0xD800 && unit <= 0xDBFF) {
    const uint32_t low = text.size() - i >= 2 ? unitAt(i) : 0;
    if (low < 0xDC00 || low > 0xDFFF) {
      *error = Malformed("UTF-16", at);
      return false;
    }
    i += 2;
    *out = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
    return true;
  }
  *out = unit;
  return true;
}

// Collects decoded characters: a flag for each of the 65,536 code units, the first-seen list of
// the rest, and a count of the controls.
class Collector {
 public:
  void add(uint32_t cp) {
    if (IsControl(cp)) {
      ++result_.controlsSkipped;
    } else if (cp <= 0xFFFF) {
      seen_[cp] = 1;
    } else if (std::find(result_.notRepresentable.begin(), result_.notRepresentable.end(), cp) ==
               result_.notRepresentable.end()) {
      result_.notRepresentable.push_back(cp);
    }
  }
  TextCharacters finish() {
    for (uint32_t u = 0; u < seen_.size(); ++u)
      if (seen_[u]) result_.codeUnits.push_back(static_cast<uint16_t>(u));
    return std::move(result_);
  }

 private:
  std::vector<uint8_t> seen_ = std::vector<uint8_t>(kCodeUnitCount, 0);
  TextCharacters result_;
};

std::string SystemError(const std::string& what, const std::string& path, int err) {
  return what + " \"" + path + "\": " + std::strerror(err);
}

// "16 MiB" for a whole number of mebibytes, else "1000 bytes".
std::string SizeText(std::size_t bytes) {
  if (bytes >= (1u << 20) && bytes % (1u << 20) == 0) return std::to_string(bytes >> 20) + " MiB";
  return std::to_string(bytes) + " bytes";
}

std::string TooLarge(const std::string& path, std::size_t maxBytes) {
  return "cannot read \"" + path + "\": a list of characters is at most " + SizeText(maxBytes) +
         ", and this file is larger";
}

// The rest of an open file, in pieces, until its end or past `maxBytes`.
bool ReadPieces(int fd, const std::string& path, std::size_t maxBytes, std::string* text, std::string* error) {
  std::vector<char> piece(kReadPiece);
  while (true) {
    const ssize_t got = ::read(fd, piece.data(), piece.size());
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      *error = SystemError("cannot read", path, errno);
      return false;
    }
    if (got == 0) return true;
    if (text->size() + static_cast<std::size_t>(got) > maxBytes) {
      *error = TooLarge(path, maxBytes);
      return false;
    }
    text->append(piece.data(), static_cast<std::size_t>(got));
  }
}

// Marks a decoded text's code units (writing 1), counts those not marked before, and hands the
// result to `found` when it is given. Always true.
bool MarkDecoded(TextCharacters& text, CharacterSelection& selection, TextCharacters* found) {
  for (uint16_t u : text.codeUnits) {
    text.marked += selection[u] == 0;
    selection[u] = 1;
  }
  if (found) *found = std::move(text);
  return true;
}

}  // namespace

bool DecodeTextCharacters(std::string_view text, TextCharacters* out, std::string* error) {
  Decoder next = &NextUtf8;
  std::size_t i = 0;
  if (text.substr(0, 3) == "\xEF\xBB\xBF") {
    i = 3;
  } else if (text.substr(0, 2) == "\xFF\xFE") {
    next = &NextUtf16<false>, i = 2;
  } else if (text.substr(0, 2) == "\xFE\xFF") {
    next = &NextUtf16<true>, i = 2;
  }
  Collector collected;
  while (i < text.size()) {
    uint32_t cp = 0;
    if (!next(text, i, &cp, error)) return false;
    collected.add(cp);
  }
  *out = collected.finish();
  return true;
}

bool MarkTextCharacters(std::string_view text, CharacterSelection& selection, TextCharacters* found,
                        std::string* error) {
  // Decoded whole before anything is marked, so malformed text marks nothing.
  TextCharacters result;
  return DecodeTextCharacters(text, &result, error) && MarkDecoded(result, selection, found);
}

bool ReadCharacterText(const std::string& path, std::string* text, std::string* error, std::size_t maxBytes) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    *error = SystemError("cannot open", path, errno);
    return false;
  }
  struct stat info {};
  const bool known = ::fstat(fd, &info) == 0;
  std::string bytes;
  bool read = false;
  if (known && S_ISDIR(info.st_mode)) {
    *error = "cannot read \"" + path + "\": it is a folder";
  } else if (known && S_ISREG(info.st_mode) && static_cast<unsigned long long>(info.st_size) > maxBytes) {
    *error = TooLarge(path, maxBytes);
  } else {
    read = ReadPieces(fd, path, maxBytes, &bytes, error);
  }
  ::close(fd);
  if (read) *text = std::move(bytes);
  return read;
}

bool ReadFileCharacters(const std::string& path, TextCharacters* out, std::string* error) {
  std::string text;
  if (!ReadCharacterText(path, &text, error)) return false;
  std::string message;
  if (!DecodeTextCharacters(text, out, &message)) {
    *error = "\"" + path + "\": " + message;
    return false;
  }
  return true;
}

bool MarkFileCharacters(const std::string& path, CharacterSelection& selection, TextCharacters* found,
                        std::string* error) {
  TextCharacters result;
  return ReadFileCharacters(path, &result, error) && MarkDecoded(result, selection, found);
}

std::string CodePointNotation(uint32_t codePoint) {
  char name[16];
  std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(codePoint));
  return name;
}

std::string NotRepresentableNotice(uint32_t codePoint) {
  return CodePointNotation(codePoint) + " is not representable: a selection holds characters up to U+FFFF only";
}

}  // namespace glyphmill
