// The command line of glyphmill-cli, parsed into one plain record. Parsing only reads and checks
// the arguments; nothing is loaded, generated or written here.
//
//   glyphmill-cli [PROJECT.gmp] [options]
//
// Setting overrides apply after the project (or the first-start settings without one), in this
// order: font, size, bold, italic, antialiasing, distance-field spread, texture size, origin, characters, outline,
// shadow, cell mode, fitted texture size, page pixels. --chars and --chars-from replace the selection with the union of
// what they name.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "settings/fallback_font.h"

namespace glyphmill::cli {

struct CliOptions {
  std::optional<std::string> projectPath;

  // A font file whose family is used (with --font: one of its families). fontconfig's system
  // configuration is then not read at all: the file's families are the only fonts.
  std::optional<std::string> fontFile;
  std::optional<int32_t> faceIndex;  // 0..65535, the face of a collection; only with fontFile

  // --fallback-font FILE and --fallback-family NAME, in the order given; when any is given they
  // replace the project's fallback list. A family needs the system's fonts, so with one of them
  // --font-file adds its file to the installed fonts instead of standing alone.
  std::optional<std::vector<FallbackFont>> fallbacks;

  // Setting overrides; empty means "as the project has it".
  std::optional<std::string> font;
  std::optional<uint8_t> fontSize;  // 0..120 points
  std::optional<bool> bold;
  std::optional<bool> italic;
  std::optional<uint16_t> antialiasMode;  // kAntialias*
  std::optional<uint16_t> sdfSpread;      // kMinSdfSpread..kMaxSdfSpread, used by --aa sdf
  std::optional<uint16_t> textureWidth;   // 1..16384
  std::optional<uint16_t> textureHeight;
  // --texture auto or --texture-max: the smallest texture that holds every character, up to the
  // maximum. Without a project and without --texture the run fits the texture as well.
  bool textureAuto = false;
  std::optional<uint16_t> textureMaxWidth;  // 1..16384
  std::optional<uint16_t> textureMaxHeight;
  std::optional<uint16_t> maxPages;       // kMinMaxPages..kMaxMaxPages: the most texture pages
  std::optional<uint8_t> cellMode;        // kCellsLine / kCellsCompact
  std::optional<uint8_t> packOrigin;      // kOrigin*
  std::optional<std::string> charRanges;  // checked RANGES text
  std::optional<std::string> charsFile;   // UTF-8 text file, read when the run starts
  std::optional<uint16_t> outlineWidth;   // 1..20, switches the outline on
  bool noOutline = false;
  bool shadow = false;
  bool noShadow = false;
  bool guides = false;                // draw the guides into the texture
  std::optional<uint8_t> pagePixels;  // kPagePixels*: what the exported colour page holds

  std::optional<std::string> saveProject;  // written after the overrides, before any export

  std::vector<std::string> exports;   // plug-in names, in order; empty: the project's batch queue
  std::optional<std::string> output;  // the answer to every save prompt

  // --plugins DIR: that folder only. Unset: the search folders (./plugins, the user's, the installed).
  std::optional<std::string> pluginsDir;
  std::optional<uint32_t> pluginTimeoutSeconds;  // every plug-in call's limit; empty: the defaults
  bool listPlugins = false;
  bool listFonts = false;
  bool quiet = false;
  bool force = false;
};

inline constexpr uint32_t kMaxPluginTimeout = 86400;

struct CliParse {
  enum class Kind { Run, Help, Error };
  Kind kind = Kind::Error;
  CliOptions options;  // for Run
  std::string text;    // Help: the full help text (or the version line for --version); Error: the
                       // message and the short usage text
};

// Parses the arguments after the program name.
CliParse ParseCliOptions(const std::vector<std::string>& args);

// The short usage text printed with a usage error.
std::string ShortUsage();

// Value parsers, shared by the option parser (and the fuzz target). Each returns nullopt with a
// message for text that is not a valid value.
std::optional<uint16_t> ParseAntialias(const std::string& text, std::string* error);  // smooth|cleartype|none|sdf
std::optional<uint8_t> ParseOrigin(const std::string& text, std::string* error);      // top-left|...|middle
std::optional<uint8_t> ParsePagePixels(const std::string& text, std::string* error);  // classic|straight|premultiplied
std::optional<uint8_t> ParseCellMode(const std::string& text, std::string* error);    // line|compact
bool ParseTextureSize(const std::string& text, uint16_t* width, uint16_t* height, std::string* error);  // WxH
std::optional<uint32_t> ParseBoundedNumber(const std::string& text, uint32_t low, uint32_t high, const char* what,
                                           std::string* error);

}  // namespace glyphmill::cli
