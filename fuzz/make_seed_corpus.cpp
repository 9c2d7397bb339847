// Writes the seed corpus of the fuzz target into a folder: valid project files, truncated ones,
// hostile ones, command lines and character ranges. Run once; the output is kept in fuzz/corpus/.
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "project/job_plugin_names.h"
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

  using namespace std::string_literals;
  PutText(dir, "args-typical.txt", "--font\0DejaVu Sans\0--size\0" "24\0--chars\0" "32-126\0--texture\0" "256x256"s);
  PutText(dir, "args-exports.txt", "project.gmp\0-e\0BMFont text\0-e\0PNG image\0-o\0out/font\0--force\0-q"s);
  PutText(dir, "args-styles.txt", "--bold\0--no-italic\0--aa\0none\0--origin\0middle\0--outline\0" "3\0--shadow"s);
  PutText(dir, "ranges.txt", "32-126,0x400-0x4FF,U+20AC, 65535");
  PutText(dir, "utf8.txt", "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\r\n");
  return 0;
}
