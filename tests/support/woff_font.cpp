#include "woff_font.h"

#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

#include "big_endian_bytes.h"
#include "renamed_font.h"

namespace glyphmill::testing {
namespace {

uint32_t Padded(std::size_t n) { return static_cast<uint32_t>((n + 3) & ~std::size_t{3}); }

constexpr std::size_t kHeaderBytes = 44;
constexpr std::size_t kEntryBytes = 20;

}  // namespace

std::vector<uint8_t> WoffFromSfnt(const std::vector<uint8_t>& sfnt) {
  if (sfnt.size() < 12) return {};
  const uint16_t tables = Get16(sfnt, 4);
  if (tables == 0 || sfnt.size() < 12 + 16u * tables) return {};

  std::vector<uint8_t> woff(kHeaderBytes + kEntryBytes * tables, 0);
  uint32_t totalSfntSize = 12 + 16u * tables;
  for (uint16_t i = 0; i < tables; ++i) {
    const std::size_t in = 12 + 16u * i;
    const uint32_t checksum = Get32(sfnt, in + 4), offset = Get32(sfnt, in + 8), length = Get32(sfnt, in + 12);
    if (offset > sfnt.size() || length > sfnt.size() - offset) return {};

    uLongf packedLength = compressBound(length);
    std::vector<uint8_t> packed(packedLength);
    if (compress2(packed.data(), &packedLength, sfnt.data() + offset, length, Z_BEST_COMPRESSION) != Z_OK) return {};
    // A table that does not shrink is stored as it is (its compressed length equals its length).
    if (packedLength >= length)
      packed.assign(sfnt.begin() + offset, sfnt.begin() + offset + length);
    else
      packed.resize(packedLength);

    const std::size_t out = kHeaderBytes + kEntryBytes * i;
    std::memcpy(woff.data() + out, sfnt.data() + in, 4);  // tag
    Put32(woff, out + 4, static_cast<uint32_t>(woff.size()));
    Put32(woff, out + 8, static_cast<uint32_t>(packed.size()));
    Put32(woff, out + 12, length);
    Put32(woff, out + 16, checksum);
    woff.insert(woff.end(), packed.begin(), packed.end());
    woff.resize(Padded(woff.size()), 0);
    totalSfntSize += Padded(length);
  }

  Put32(woff, 0, 0x774F4646);      // "wOFF"
  Put32(woff, 4, Get32(sfnt, 0));  // flavour: the sfnt version of the font inside
  Put32(woff, 8, static_cast<uint32_t>(woff.size()));
  Put16(woff, 12, tables);
  Put32(woff, 16, totalSfntSize);
  Put16(woff, 20, 1);  // font version 1.0; no metadata, no private data
  return woff;
}

bool WriteRenamedWoff(const std::string& source, const std::string& target, const std::string& family) {
  const std::string sfntPath = target + ".sfnt";
  if (!WriteRenamedFont(source, sfntPath, family)) return false;
  std::ifstream in(sfntPath, std::ios::binary);
  const std::vector<uint8_t> sfnt((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  in.close();
  std::remove(sfntPath.c_str());
  const std::vector<uint8_t> woff = WoffFromSfnt(sfnt);
  if (woff.empty()) return false;
  std::ofstream out(target, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(woff.data()), static_cast<std::streamsize>(woff.size()));
  return static_cast<bool>(out.flush());
}

}  // namespace glyphmill::testing
