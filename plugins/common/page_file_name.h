// Where a BMFont descriptor's texture page goes: beside the descriptor, named after it.
#pragma once

#include <string>

namespace glyphmill::plugins {

struct PageFile {
  std::string path;          // the file to write
  std::string relativeName;  // the name the descriptor's page line gives (no folder)
};

// "dir/font.fnt" -> {"dir/font_0.png", "font_0.png"}: the descriptor's base name (its file name
// without the last extension) followed by "_", the page number and ".png". Quotes and control
// characters in the base name become '_', so that the name can stand inside the descriptor's
// quoted field unchanged. With 10 pages or more the numbers take two digits ("font_03.png"): the
// binary descriptor's readers take every page name to be as long as the first.
PageFile PageFileFor(const std::string& descriptorPath, std::size_t page = 0, std::size_t pageCount = 1);

}  // namespace glyphmill::plugins
