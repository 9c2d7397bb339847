#include "export_test_support.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "render/placement.h"

namespace glyphmill::testing_support {

namespace fs = std::filesystem;

PluginFolder::PluginFolder(const std::vector<Entry>& plugins) : scratch_("export"), root_(scratch_.path().string()) {
  previous_ = fs::current_path().string();
  fs::create_directory(fs::path(root_) / "plugins");
  for (const Entry& e : plugins)
    fs::copy_file(fs::path(GLYPHMILL_TEST_PLUGIN_DIR) / (e.first + ".so"), fs::path(root_) / "plugins" / e.second);
  fs::current_path(root_);
}

PluginFolder::~PluginFolder() {
  std::error_code ec;
  fs::current_path(previous_, ec);  // the folder itself goes with scratch_
}

void PluginFolder::addFile(const std::string& name, const std::string& contents) {
  std::ofstream out(fs::path(root_) / "plugins" / name, std::ios::binary);
  out << contents;
}

std::string Report::get(const std::string& key) const {
  auto it = values.find(key);
  return it == values.end() || it->second.empty() ? std::string() : it->second.front();
}

const std::vector<std::string>& Report::all(const std::string& key) const {
  static const std::vector<std::string> kNone;
  auto it = values.find(key);
  return it == values.end() ? kNone : it->second;
}

Report ReadReport(const std::string& path) {
  Report r;
  std::ifstream in(path);
  if (!in) return r;
  r.exists = true;
  std::string line;
  while (std::getline(in, line)) {
    const std::size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    r.values[line.substr(0, eq)].push_back(line.substr(eq + 1));
  }
  return r;
}

uint32_t Checksum(std::span<const uint8_t> bytes) {
  uint32_t sum = 0;
  for (uint8_t b : bytes) sum = sum * 31u + b;
  return sum;
}

ExportWorld::ExportWorld(int width, int height) {
  Image24& colour = result.colour;
  Image24& mask = result.mask;
  colour.resize(width, height);
  mask.resize(width, height);
  settings = FirstStartSettings();
  settings.setFontName("DejaVu Sans");
  settings.fontSize = 24;
  settings.textureWidth = static_cast<uint16_t>(width);
  settings.textureHeight = static_cast<uint16_t>(height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      colour.setPixel(x, y, Bgr{static_cast<uint8_t>(x * 3), static_cast<uint8_t>(y * 5), static_cast<uint8_t>(x ^ y)});
      const uint8_t a = static_cast<uint8_t>((x * 7 + y * 11) & 255);
      mask.setPixel(x, y, Bgr{a, a, a});
    }
  const uint16_t codes[] = {'A', 'B', 'C'};
  for (int i = 0; i < 3; ++i) {
    PlacedCharacter c;
    c.codeUnit = codes[i];
    c.cellWidth = static_cast<uint32_t>(10 + i);
    c.cellHeight = 20;
    c.cellX = i * 12;
    c.cellY = 1;
    c.drawOffsetX = 1;
    c.drawOffsetY = 1;
    c.advanceBefore = i - 1;
    c.advanceAfter = 9 + i;
    result.chars.push_back(c);
  }
  selectedCount = 3;
}

ExportContext ExportWorld::context() {
  result.sortOrder = SortOrder(result.chars);
  return ExportContext{settings, result,  ExportFontMetrics{selectedCount, spaceAdvance, 18, 5},  registry, jobs,
                       dialogs,  buffers, [this](const std::string& s) { statuses.push_back(s); }};
}

void ExportWorld::discover() {
  registry.Discover(dialogs, jobs);
  dialogs.clearLog();
}

int32_t ExportWorld::indexOf(const std::string& name) const {
  for (std::size_t i = 0; i < registry.size(); ++i)
    if (registry.at(i).Name == name) return static_cast<int32_t>(i);
  return -1;
}

}  // namespace glyphmill::testing_support
