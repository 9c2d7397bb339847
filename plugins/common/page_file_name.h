// Where a BMFont descriptor's texture page goes: beside the descriptor, named after it.
#pragma once

#include <string>

namespace glyphmill::plugins {

struct PageFile {
  std::string path;          // the file to write
  std::string relativeName;  // the name the descriptor's page line gives (no folder)
};

// "dir/font.fnt" -> {"dir/font_0.png", "font_0.png"}: the descriptor's base name (its file name
// without the last extension) followed by "_0.png". Quotes and control characters in the base name
// become '_', so that the name can stand inside the descriptor's quoted field unchanged.
PageFile PageFileFor(const std::string& descriptorPath);

}  // namespace glyphmill::plugins
