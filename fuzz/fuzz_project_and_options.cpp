// libFuzzer target: arbitrary bytes into the project reader, the command-line option parser and
// the character-range and UTF-8 parsers. Each input is given to all of them:
//   - the project reader reads the whole input as a file;
//   - the option parser gets the input split at zero bytes as the arguments after the program name;
//   - the range parser and the UTF-8 reader get the input as text.
// Besides the sanitizers' findings, a few properties are checked: a refused project leaves the
// caller's data alone, an accepted one has a terminated font name and writes back to a file of the
// documented size (plus its extension block, whose entries read back the same), and a failed range
// parse marks nothing.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/char_ranges.h"
#include "cli/cli_options.h"
#include "project/project_file.h"
#include "project/project_layout.h"
#include "settings/text_characters.h"

namespace {

using namespace glyphmill;

void Check(bool condition) {
  if (!condition) std::abort();
}

void FuzzProject(const uint8_t* data, std::size_t size) {
  static const PluginNames kPlugins{"BMFont text", "PNG image", "", "BMFont text"};
  Result<ProjectData, ProjectReadError> read = ParseProjectBytes(data, size, kPlugins);
  if (!read) {
    Check(read.error().kind == ProjectReadError::Kind::Refused && !read.error().text.empty());
    return;
  }
  const ProjectData& project = *read;
  Check(project.settings.fontNameString().size() < kFontNameBytes);
  // Written back, the extension block's entries (unknown ones kept) read again to the same project.
  const std::vector<uint8_t> again =
      ProjectToBytes(project.settings, project.selection, project.jobs, project.extensions);
  const std::size_t classic = kProjectJobsOffset + kJobEntryBytes * project.jobs.size();
  Check(again.size() >= classic);
  Check((again.size() == classic) == (project.extensions == ProjectExtensions{}));
  const Result<ProjectData, ProjectReadError> reread = ParseProjectBytes(again.data(), again.size(), kPlugins);
  Check(reread.has_value() && reread->extensions == project.extensions);
}

void FuzzOptions(const uint8_t* data, std::size_t size) {
  std::vector<std::string> args;
  std::string current;
  for (std::size_t i = 0; i < size && args.size() < 64; ++i) {
    if (data[i] == 0) {
      args.push_back(current);
      current.clear();
    } else {
      current.push_back(static_cast<char>(data[i]));
    }
  }
  args.push_back(current);
  const cli::CliParse parse = cli::ParseCliOptions(args);
  if (parse.kind == cli::CliParse::Kind::Run) {
    const cli::CliOptions& o = parse.options;
    if (o.textureWidth) Check(*o.textureWidth >= 1 && *o.textureWidth <= 16384);
    if (o.fontSize) Check(*o.fontSize <= 120);
    if (o.outlineWidth) Check(*o.outlineWidth >= 1 && *o.outlineWidth <= 20);
  }
}

void FuzzText(const uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  static CharacterSelection selection;
  selection.fill(0);
  std::string error;
  if (!cli::MarkCharRanges(text, selection, &error)) Check(CountSelected(selection) == 0 && !error.empty());
  selection.fill(0);
  if (!MarkTextCharacters(text, selection, nullptr, &error)) Check(CountSelected(selection) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  FuzzProject(data, size);
  // Text parsers see at most the first 4 KiB: longer command lines add nothing but time.
  const std::size_t textSize = size < 4096 ? size : 4096;
  FuzzOptions(data, textSize);
  FuzzText(data, textSize);
  return 0;
}
