// Writes the seed corpus of the fuzz target into a folder: valid project files, truncated ones,
// hostile ones, command lines and character ranges. Run once; the output is kept in fuzz/corpus/.
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "project/job_plugin_names.h"
#include "project/project_extensions.h"
#include "project/project_file.h"
#include "project/project_layout.h"

using namespace glyphmill;

namespace {

void Put(const std::string& folder, const std::string& name, const std::vector<uint8_t>& bytes) {
  std::ofstream out(folder + "/" + name, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void PutText(const std::string& folder, const std::string& name, const std::string& text) {
  Put(folder, name, std::vector<uint8_t>(text.begin(), text.end()));
}

void PutU32(std::vector<uint8_t>& b, std::size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

void AppendU16(std::vector<uint8_t>& b, uint16_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}

void AppendU32(std::vector<uint8_t>& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// A classic file followed by an extension block of the given entries (type, payload), with the
// block length `length` (the entries' true length when negative).
std::vector<uint8_t> WithBlock(std::vector<uint8_t> classic,
                               const std::vector<std::pair<uint16_t, std::vector<uint8_t>>>& entries,
                               int64_t length = -1) {
  std::vector<uint8_t> body;
  for (const auto& [type, payload] : entries) {
    AppendU16(body, type);
    AppendU32(body, static_cast<uint32_t>(payload.size()));
    body.insert(body.end(), payload.begin(), payload.end());
  }
  classic.insert(classic.end(), std::begin(kExtensionTag), std::end(kExtensionTag));
  AppendU32(classic, length < 0 ? static_cast<uint32_t>(body.size()) : static_cast<uint32_t>(length));
  classic.insert(classic.end(), body.begin(), body.end());
  return classic;
}

std::vector<uint8_t> FontFilePayload(uint32_t face, const std::string& path) {
  std::vector<uint8_t> p;
  AppendU32(p, face);
  p.insert(p.end(), path.begin(), path.end());
  return p;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: make_seed_corpus FOLDER\n";
    return 1;
  }
  const std::string dir = argv[1];

  GenerationSettings s = FirstStartSettings();
  s.setFontName("DejaVu Sans");
  CharacterSelection sel{};
  SetDefaultSelection(sel);
  ExportJobQueue none;
  const std::vector<uint8_t> empty = ProjectToBytes(s, sel, none);
  Put(dir, "valid-no-jobs.gmp", empty);

  ExportJobQueue jobs(2);
  jobs[0].UseRGB = jobs[0].UseAlpha = true;
  jobs[0].PluginIndex = 1;
  SetShortString(jobs[0].PluginName, "PNG image");
  jobs[1].UseData = true;
  jobs[1].PluginIndex = 7;
  SetShortString(jobs[1].PluginName, "BMFont text");
  const std::vector<uint8_t> two = ProjectToBytes(s, sel, jobs);
  Put(dir, "valid-two-jobs.gmp", two);

  for (std::size_t cut : {0, 3, 7, 100, 131, 4000, 65667, 65671})
    Put(dir, "truncated-" + std::to_string(cut) + ".gmp", std::vector<uint8_t>(two.begin(), two.begin() + cut));
  Put(dir, "truncated-in-job.gmp", std::vector<uint8_t>(two.begin(), two.end() - 100));

  std::vector<uint8_t> b = empty;
  PutU32(b, kProjectJobCountOffset, 0x7FFFFFFF);
  Put(dir, "hostile-huge-count.gmp", b);
  PutU32(b, kProjectJobCountOffset, 0xFFFFFFFF);
  Put(dir, "hostile-negative-count.gmp", b);
  b = empty;
  PutU32(b, kProjectSettingsSizeOffset, 100);
  Put(dir, "hostile-record-size.gmp", b);
  b = empty;
  std::memset(b.data() + kProjectSettingsOffset, 'A', kFontNameBytes);
  Put(dir, "hostile-unterminated-name.gmp", b);
  b = two;
  b[kProjectJobsOffset + kJobPluginNameOffset] = 255;  // a name length running past the name bytes
  Put(dir, "hostile-name-length.gmp", b);

  // Extension blocks: written by the program itself, then hand-made ones, valid and damaged.
  ProjectExtensions extensions;
  extensions.fontFile = ProjectFontFile{0, "fonts/Game Font.ttf"};
  Put(dir, "ext-font-relative.gmp", ProjectToBytes(s, sel, jobs, extensions));
  extensions.fontFile = ProjectFontFile{2, "/usr/share/fonts/truetype/collection.ttc"};
  extensions.unknown.push_back({0x7F00, {1, 2, 3}});
  Put(dir, "ext-font-absolute-unknown.gmp", ProjectToBytes(s, sel, none, extensions));
  const std::vector<uint8_t> font = FontFilePayload(0, "font.otf");
  Put(dir, "ext-unknown-only.gmp", WithBlock(empty, {{9, {0xAA, 0xBB}}, {0xFFFF, {}}}));
  Put(dir, "ext-zero-length-entries.gmp", WithBlock(two, {{0, {}}, {1, FontFilePayload(0, "")}, {5, {}}}));
  Put(dir, "ext-font-short-payload.gmp", WithBlock(empty, {{1, {1, 0}}}));
  Put(dir, "ext-font-twice.gmp", WithBlock(empty, {{1, font}, {1, FontFilePayload(1, "other.ttc")}}));
  Put(dir, "ext-empty-block.gmp", WithBlock(empty, {}));
  Put(dir, "ext-block-past-file.gmp", WithBlock(empty, {{1, font}}, 1000));
  Put(dir, "ext-block-length-huge.gmp", WithBlock(empty, {{1, font}}, 0xFFFFFFFF));
  Put(dir, "ext-block-shorter-than-entry.gmp", WithBlock(empty, {{1, font}}, 7));
  std::vector<uint8_t> past = WithBlock(empty, {{1, font}});
  PutU32(past, empty.size() + kExtensionHeaderBytes + 2, 0x40000000);  // the entry's payload length
  Put(dir, "ext-entry-past-block.gmp", past);
  std::vector<uint8_t> trailing = WithBlock(two, {{1, font}});
  trailing.insert(trailing.end(), {'G', 'M', 'X', '1', 0, 0});
  Put(dir, "ext-trailing-bytes.gmp", trailing);
  std::vector<uint8_t> otherTag = WithBlock(empty, {{1, font}});
  otherTag[empty.size() + 3] = '2';
  Put(dir, "ext-other-tag.gmp", otherTag);
  std::vector<uint8_t> cut = WithBlock(empty, {{1, font}});
  Put(dir, "ext-truncated-header.gmp", std::vector<uint8_t>(cut.begin(), cut.begin() + empty.size() + 6));
  Put(dir, "ext-truncated-entry.gmp", std::vector<uint8_t>(cut.begin(), cut.end() - 3));

  using namespace std::string_literals;
  PutText(dir, "args-typical.txt",
          "--font\0DejaVu Sans\0--size\0"
          "24\0--chars\0"
          "32-126\0--texture\0"
          "256x256"s);
  PutText(dir, "args-exports.txt", "project.gmp\0-e\0BMFont text\0-e\0PNG image\0-o\0out/font\0--force\0-q"s);
  PutText(dir, "args-styles.txt",
          "--bold\0--no-italic\0--aa\0none\0--origin\0middle\0--outline\0"
          "3\0--shadow"s);
  PutText(dir, "ranges.txt", "32-126,0x400-0x4FF,U+20AC, 65535");
  PutText(dir, "utf8.txt", "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\r\n");
  return 0;
}
