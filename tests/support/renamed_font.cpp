#include "renamed_font.h"

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "big_endian_bytes.h"

namespace glyphmill::testing {
namespace {

uint32_t TableChecksum(const std::vector<uint8_t>& table) {
  std::vector<uint8_t> padded = table;
  padded.resize((padded.size() + 3) & ~std::size_t{3}, 0);
  uint32_t sum = 0;
  for (std::size_t i = 0; i < padded.size(); i += 4) sum += Get32(padded, i);
  return sum;
}

// A 'name' table (format 0) with family, style, full and PostScript names for the Macintosh
// (Roman) and Windows (Unicode BMP, US English) platforms, records sorted as the format asks.
std::vector<uint8_t> NameTable(const std::string& family) {
  std::string postscript;
  for (char c : family)
    if (c != ' ') postscript += c;
  const std::string style = "Book";
  const std::pair<uint16_t, std::string> names[] = {{1, family}, {2, style}, {4, family}, {6, postscript + "-Book"}};
  struct Record {
    uint16_t platform, encoding, language, id;
    std::vector<uint8_t> bytes;
  };
  std::vector<Record> records;
  for (const auto& [id, text] : names) records.push_back({1, 0, 0, id, std::vector<uint8_t>(text.begin(), text.end())});
  for (const auto& [id, text] : names) {
    std::vector<uint8_t> utf16;
    for (unsigned char c : text) Append16(utf16, c);  // the names are ASCII
    records.push_back({3, 1, 0x409, id, utf16});
  }
  std::vector<uint8_t> table;
  Append16(table, 0);
  Append16(table, static_cast<uint16_t>(records.size()));
  Append16(table, static_cast<uint16_t>(6 + 12 * records.size()));
  std::vector<uint8_t> strings;
  for (const Record& r : records) {
    for (uint16_t v : {r.platform, r.encoding, r.language, r.id, static_cast<uint16_t>(r.bytes.size()),
                       static_cast<uint16_t>(strings.size())})
      Append16(table, v);
    strings.insert(strings.end(), r.bytes.begin(), r.bytes.end());
  }
  table.insert(table.end(), strings.begin(), strings.end());
  return table;
}

bool WriteBytes(const std::string& target, const std::vector<uint8_t>& bytes) {
  std::ofstream out(target, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out.flush());
}

// The renamed font's bytes, or nothing.
std::vector<uint8_t> RenamedFontBytes(const std::string& source, const std::string& family) {
  std::ifstream in(source, std::ios::binary);
  std::vector<uint8_t> font((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (font.size() < 12 || Get32(font, 0) != 0x00010000) return {};
  const uint16_t tables = Get16(font, 4);
  if (font.size() < 12 + 16u * tables) return {};
  // The new table goes at the end of the file; the directory entry points there.
  const std::vector<uint8_t> name = NameTable(family);
  bool found = false;
  for (uint16_t i = 0; i < tables; ++i) {
    const std::size_t entry = 12 + 16u * i;
    if (std::memcmp(font.data() + entry, "name", 4) != 0) continue;
    font.resize((font.size() + 3) & ~std::size_t{3}, 0);
    Put32(font, entry + 4, TableChecksum(name));
    Put32(font, entry + 8, static_cast<uint32_t>(font.size()));
    Put32(font, entry + 12, static_cast<uint32_t>(name.size()));
    font.insert(font.end(), name.begin(), name.end());
    font.resize((font.size() + 3) & ~std::size_t{3}, 0);
    found = true;
  }
  if (!found) return {};
  return font;
}

}  // namespace

bool WriteRenamedFont(const std::string& source, const std::string& target, const std::string& family) {
  const std::vector<uint8_t> font = RenamedFontBytes(source, family);
  return !font.empty() && WriteBytes(target, font);
}

bool WriteRenamedCollection(const std::string& source, const std::vector<std::string>& families,
                            const std::string& target) {
  // 'ttcf' header, version 1.0, the font count and each font's offset; then the fonts one after
  // another, each table offset moved by where its font begins.
  std::vector<uint8_t> out(12 + 4 * families.size(), 0);
  std::memcpy(out.data(), "ttcf", 4);
  Put32(out, 4, 0x00010000);
  Put32(out, 8, static_cast<uint32_t>(families.size()));
  for (std::size_t f = 0; f < families.size(); ++f) {
    std::vector<uint8_t> font = RenamedFontBytes(source, families[f]);
    if (font.empty()) return false;
    const uint32_t base = static_cast<uint32_t>(out.size());
    Put32(out, 12 + 4 * f, base);
    const uint16_t tables = Get16(font, 4);
    for (uint16_t i = 0; i < tables; ++i) Put32(font, 12 + 16u * i + 8, Get32(font, 12 + 16u * i + 8) + base);
    out.insert(out.end(), font.begin(), font.end());
  }
  return WriteBytes(target, out);
}

}  // namespace glyphmill::testing
