#include "cli/cli_options.h"

#include <CLI/CLI.hpp>

#include <algorithm>

#include "app/app_state.h"
#include "app/decimal_text.h"
#include "app/texture_size.h"
#include "cli/char_ranges.h"
#include "cli/exit_status.h"
#include "settings/generation_extras.h"
#include "settings/generation_settings.h"

namespace glyphmill::cli {
namespace {

constexpr uint32_t kMaxFontSize = 120;
constexpr uint32_t kMaxOutlineWidth = 20;
constexpr uint32_t kMaxFaceIndex = 0xFFFF;

struct NamedValue {
  const char* name;
  uint16_t value;
};

constexpr NamedValue kAntialiasNames[] = {{"smooth", kAntialiasSmooth}, {"cleartype", kAntialiasCleartype},
                                          {"none", kAntialiasNone},     {"sdf", kAntialiasDistanceField},
                                          {"msdf", kAntialiasMsdf},     {"mtsdf", kAntialiasMtsdf}};
constexpr NamedValue kOriginNames[] = {{"top-left", kOriginTopLeft},
                                       {"top-right", kOriginTopRight},
                                       {"bottom-right", kOriginBottomRight},
                                       {"bottom-left", kOriginBottomLeft},
                                       {"middle", kOriginMiddle}};
constexpr NamedValue kPagePixelsNames[] = {
    {"classic", kPagePixelsClassic}, {"straight", kPagePixelsStraight}, {"premultiplied", kPagePixelsPremultiplied}};

template <std::size_t N>
std::optional<uint16_t> Lookup(const NamedValue (&table)[N], const std::string& text, const char* what,
                               std::string* error) {
  for (const NamedValue& entry : table)
    if (text == entry.name) return entry.value;
  std::string choices;
  for (const NamedValue& entry : table) choices += (choices.empty() ? "" : ", ") + std::string(entry.name);
  *error = std::string(what) + " \"" + text + "\" is not one of " + choices;
  return std::nullopt;
}

// The exit statuses, listed at the end of --help.
std::string ExitStatusHelp() {
  return "Exit status:\n"
         "  " +
         std::to_string(kExitSuccess) +
         "  success\n"
         "  " +
         std::to_string(kExitUsage) +
         "  bad usage (a short usage text is printed)\n"
         "  " +
         std::to_string(kExitProjectRefused) +
         "  the project was refused, could not be read, or holds a texture size outside 1 to 16384\n"
         "  " +
         std::to_string(kExitDoesNotFit) +
         "  characters do not fit the texture, or none is left to export, and --force was not given\n"
         "  " +
         std::to_string(kExitExportFailed) + "  an export or the project save failed; the rest still ran\n";
}

}  // namespace

std::string ShortUsage() {
  return "Usage: glyphmill-cli [PROJECT.gmp] [options]\nTry 'glyphmill-cli --help' for the options.";
}

std::optional<uint32_t> ParseBoundedNumber(const std::string& text, uint32_t low, uint32_t high, const char* what,
                                           std::string* error) {
  // Digits only: the decimal parser's sign and surrounding blanks are not accepted on the command line.
  const bool digits =
      !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
  long long value = 0;
  if (!digits || !ParseDecimal(text, &value, nullptr) || value < low || value > high) {
    *error = std::string(what) + " \"" + text + "\" is not a whole number from " + std::to_string(low) + " to " +
             std::to_string(high);
    return std::nullopt;
  }
  return static_cast<uint32_t>(value);
}

std::optional<uint16_t> ParseAntialias(const std::string& text, std::string* error) {
  return Lookup(kAntialiasNames, text, "antialiasing", error);
}

std::optional<uint8_t> ParseOrigin(const std::string& text, std::string* error) {
  const auto value = Lookup(kOriginNames, text, "origin", error);
  if (!value) return std::nullopt;
  return static_cast<uint8_t>(*value);
}

std::optional<uint8_t> ParsePagePixels(const std::string& text, std::string* error) {
  const auto value = Lookup(kPagePixelsNames, text, "page pixels", error);
  if (!value) return std::nullopt;
  return static_cast<uint8_t>(*value);
}

std::optional<uint8_t> ParseCellMode(const std::string& text, std::string* error) {
  if (text == "line") return kCellsLine;
  if (text == "compact") return kCellsCompact;
  *error = "cell mode \"" + text + "\" is not line or compact";
  return std::nullopt;
}

bool ParseTextureSize(const std::string& text, uint16_t* width, uint16_t* height, std::string* error) {
  const std::size_t x = text.find_first_of("xX");
  if (x == std::string::npos) {
    *error = "texture size \"" + text + "\" is not WIDTHxHEIGHT";
    return false;
  }
  const auto w = ParseBoundedNumber(text.substr(0, x), 1, kMaxTextureSide, "texture width", error);
  if (!w) return false;
  const auto h = ParseBoundedNumber(text.substr(x + 1), 1, kMaxTextureSide, "texture height", error);
  if (!h) return false;
  *width = static_cast<uint16_t>(*w);
  *height = static_cast<uint16_t>(*h);
  return true;
}

namespace {

// The option texts as given, and the flags whose presence is what counts; checked and turned into
// CliOptions after parsing.
struct RawOptions {
  std::string project, fontFile, faceIndex, font, size, aa, sdfSpread, texture, textureMax, cells, origin, chars,
      charsFrom, pagePixels, pages, outline, saveProject, output, plugins, pluginTimeout;
  bool boldSet = false, noBoldSet = false, italicSet = false, noItalicSet = false, noOutlineSet = false,
       shadowSet = false, noShadowSet = false;
  std::vector<std::string> fallbackFonts, fallbackFamilies;
  CLI::Option* fallbackFont = nullptr;
  CLI::Option* fallbackFamily = nullptr;
  CLI::Option* bold = nullptr;
  CLI::Option* noBold = nullptr;
  CLI::Option* italic = nullptr;
  CLI::Option* noItalic = nullptr;
  CLI::Option* textureOption = nullptr;
  CLI::Option* textureMaxOption = nullptr;
  CLI::Option* outlineOption = nullptr;
  CLI::Option* noOutline = nullptr;
  CLI::Option* shadow = nullptr;
  CLI::Option* noShadow = nullptr;
};

// The font and style options.
void AddFontOptions(CLI::App& app, RawOptions& r) {
  app.add_option("project", r.project, "project file (.gmp) to start from; without one the first-start settings");
  app.add_option("--font-file", r.fontFile,
                 "use the font in this file (TrueType, OpenType, collection, WOFF); "
                 "only its families are known");
  app.add_option("--face-index", r.faceIndex, "face of a font collection to use (0 to 65535, default 0)");
  app.add_option("--font", r.font, "font family name (with --font-file: one of the file's families)");
  r.fallbackFont = app.add_option("--fallback-font", r.fallbackFonts,
                                  "font file to draw the characters the font lacks from (repeatable; each "
                                  "fallback is asked in the order given; a collection's first face)");
  r.fallbackFamily = app.add_option("--fallback-family", r.fallbackFamilies,
                                    "installed family to draw the characters the font lacks from (repeatable, "
                                    "asked in the order given together with --fallback-font)");
  app.add_option("--size", r.size, "font size in points (0 to 120)");
  r.bold = app.add_flag("--bold", r.boldSet, "bold on");
  r.noBold = app.add_flag("--no-bold", r.noBoldSet, "bold off");
  r.italic = app.add_flag("--italic", r.italicSet, "italic on");
  r.noItalic = app.add_flag("--no-italic", r.noItalicSet, "italic off");
  r.bold->excludes(r.noBold);
  r.italic->excludes(r.noItalic);
}

// The look of the texture: antialiasing, size, cells, origin, characters, outline, shadow, guides.
void AddTextureOptions(CLI::App& app, RawOptions& r, CliOptions& o) {
  app.add_option("--aa", r.aa,
                 "antialiasing: smooth, cleartype, none, sdf (a signed distance field), msdf (a multi-channel "
                 "distance field) or mtsdf (multi-channel, with the true distance in alpha)");
  app.add_option("--sdf-spread", r.sdfSpread,
                 "distance-field spread in pixels (" + std::to_string(kMinSdfSpread) + " to " +
                     std::to_string(kMaxSdfSpread) + ", default " + std::to_string(kDefaultSdfSpread) + ")");
  r.textureOption = app.add_option("--texture", r.texture,
                                   "texture size WIDTHxHEIGHT, each side 1 to 16384, or auto: the smallest "
                                   "power-of-two size that holds every character (the default without a project)");
  r.textureMaxOption = app.add_option("--texture-max", r.textureMax,
                                      "largest size a fitted texture may take, WIDTHxHEIGHT (default 4096x4096); "
                                      "implies --texture auto");
  app.add_option("--pages", r.pages,
                 "most texture pages to fill (" + std::to_string(kMinMaxPages) + " to " + std::to_string(kMaxMaxPages) +
                     ", default " + std::to_string(kDefaultMaxPages) +
                     "): characters that do not fit one page go on to the next page of the same size");
  app.add_option("--cells", r.cells, "cell height: line (a whole text line, the default) or compact (the glyph's ink)");
  app.add_option("--origin", r.origin, "packing origin: top-left, top-right, bottom-right, bottom-left or middle");
  app.add_option("--chars", r.chars, "characters to generate: code units and ranges, e.g. 32-126,0x400-0x4FF");
  app.add_option("--chars-from", r.charsFrom,
                 "generate every character of this text file (UTF-8, or UTF-16 with a byte-order mark); control "
                 "characters are skipped");
  r.outlineOption = app.add_option("--outline", r.outline, "outline on, WIDTH pixels (1 to 20)");
  r.noOutline = app.add_flag("--no-outline", r.noOutlineSet, "outline off");
  r.outlineOption->excludes(r.noOutline);
  r.shadow = app.add_flag("--shadow", r.shadowSet, "drop shadow on");
  r.noShadow = app.add_flag("--no-shadow", r.noShadowSet, "drop shadow off");
  r.shadow->excludes(r.noShadow);
  app.add_flag("--guides", o.guides, "draw the guides into the texture");
  app.add_option("--page-pixels", r.pagePixels,
                 "colour of the exported page: classic (as drawn over the background, the default), straight (each "
                 "pixel's own colour, bled into transparent pixels) or premultiplied (colour times alpha)");
}

// What the run writes, the plug-ins and the program's own switches.
void AddRunOptions(CLI::App& app, RawOptions& r, CliOptions& o) {
  app.add_option("--save-project", r.saveProject, "write the project, with the overrides applied, to FILE (.gmp)");
  app.add_option("-e,--export", o.exports,
                 "run the plug-in named NAME (repeatable, in order); "
                 "without it the project's batch queue runs")
      ->allow_extra_args(false);
  app.add_option("-o,--output", r.output,
                 "answer to every save prompt; the plug-in's extension is forced and "
                 "later exports to the same path get -2, -3, ...");
  app.add_option("--plugins", r.plugins,
                 "load plug-ins from DIR only, instead of ./plugins, "
                 "$XDG_DATA_HOME/glyphmill/plugins and the installed folder");
  app.add_option("--plugin-timeout", r.pluginTimeout,
                 "stop a plug-in call (loading, GetPluginInfo or an export) after SECONDS (1 to 86400) and report "
                 "it as failed");
  app.add_flag("--list-plugins", o.listPlugins, "print index, name, type, extension and folder of every plug-in");
  app.add_flag("--list-fonts", o.listFonts, "print the font catalogue");
  app.add_flag("-q,--quiet", o.quiet, "print nothing but errors");
  app.add_flag("-f,--force", o.force, "export even when some characters do not fit the texture");
  app.set_version_flag("--version", VersionedName("glyphmill-cli"), "print the version and exit");
  app.footer(ExitStatusHelp());
}

// A checked number into `field`, when the option was given. False with the message otherwise.
template <typename T>
bool TakeNumber(const CLI::App& app, const char* name, const std::string& text, uint32_t low, uint32_t high,
                const char* what, std::optional<T>& field, std::string* error) {
  if (!app.count(name)) return true;
  const auto v = ParseBoundedNumber(text, low, high, what, error);
  if (!v) return false;
  field = static_cast<T>(*v);
  return true;
}

// --fallback-font and --fallback-family, merged in the order they stand on the command line.
std::optional<std::string> TakeFallbacks(const CLI::App& app, const RawOptions& r, CliOptions& o) {
  if (!r.fallbackFont->count() && !r.fallbackFamily->count()) return std::nullopt;
  const std::vector<std::string>& files = r.fallbackFonts;
  const std::vector<std::string>& families = r.fallbackFamilies;
  std::size_t nextFile = 0, nextFamily = 0;
  std::vector<FallbackFont> list;
  for (const CLI::Option* option : app.parse_order()) {
    const bool file = option == r.fallbackFont;
    if (!file && option != r.fallbackFamily) continue;
    const std::vector<std::string>& values = file ? files : families;
    std::size_t& next = file ? nextFile : nextFamily;
    if (next >= values.size()) continue;
    const std::string& name = values[next++];
    if (name.empty()) return file ? "--fallback-font needs a path" : "--fallback-family needs a name";
    list.push_back(FallbackFont{file ? kFallbackFile : kFallbackFamily, 0, name});
  }
  if (list.size() > kMaxFallbackFonts)
    return "at most " + std::to_string(kMaxFallbackFonts) + " fallback fonts can be given";
  o.fallbacks = std::move(list);
  return std::nullopt;
}

// The project, the font file and face, the font and its style. Each returns the message of the
// first refused value, nullopt when every given value was taken.
std::optional<std::string> TakeFontOptions(const CLI::App& app, const RawOptions& r, CliOptions& o) {
  std::string error;
  if (app.count("project")) o.projectPath = r.project;
  if (app.count("--font-file")) {
    if (r.fontFile.empty()) return "--font-file needs a path";
    o.fontFile = r.fontFile;
  }
  if (app.count("--face-index") && !o.fontFile) return "--face-index needs --font-file";
  if (!TakeNumber(app, "--face-index", r.faceIndex, 0, kMaxFaceIndex, "face index", o.faceIndex, &error)) return error;
  if (app.count("--font")) {
    if (r.font.empty()) return "--font needs a name";
    o.font = r.font;
  }
  if (auto fallbackError = TakeFallbacks(app, r, o)) return fallbackError;
  if (!TakeNumber(app, "--size", r.size, 0, kMaxFontSize, "font size", o.fontSize, &error)) return error;
  if (r.bold->count()) o.bold = true;
  if (r.noBold->count()) o.bold = false;
  if (r.italic->count()) o.italic = true;
  if (r.noItalic->count()) o.italic = false;
  return std::nullopt;
}

// --texture and --texture-max.
std::optional<std::string> TakeTextureSize(const RawOptions& r, CliOptions& o) {
  std::string error;
  if (r.textureOption->count()) {
    if (r.texture == "auto") {
      o.textureAuto = true;
    } else {
      uint16_t w = 0, h = 0;
      if (!ParseTextureSize(r.texture, &w, &h, &error)) return error;
      o.textureWidth = w;
      o.textureHeight = h;
    }
  }
  if (!r.textureMaxOption->count()) return std::nullopt;
  if (o.textureWidth) return "--texture-max applies to a fitted texture, not to --texture " + r.texture;
  uint16_t w = 0, h = 0;
  if (!ParseTextureSize(r.textureMax, &w, &h, &error)) return error;
  o.textureAuto = true;
  o.textureMaxWidth = w;
  o.textureMaxHeight = h;
  return std::nullopt;
}

// Antialiasing, spread, cells, origin, characters, outline and shadow.
std::optional<std::string> TakeTextureOptions(const CLI::App& app, const RawOptions& r, CliOptions& o) {
  std::string error;
  if (app.count("--aa")) {
    o.antialiasMode = ParseAntialias(r.aa, &error);
    if (!o.antialiasMode) return error;
  }
  if (!TakeNumber(app, "--sdf-spread", r.sdfSpread, kMinSdfSpread, kMaxSdfSpread, "distance-field spread", o.sdfSpread,
                  &error))
    return error;
  if (auto sizeError = TakeTextureSize(r, o)) return sizeError;
  if (!TakeNumber(app, "--pages", r.pages, kMinMaxPages, kMaxMaxPages, "number of pages", o.maxPages, &error))
    return error;
  if (app.count("--cells")) {
    o.cellMode = ParseCellMode(r.cells, &error);
    if (!o.cellMode) return error;
  }
  if (app.count("--origin")) {
    o.packOrigin = ParseOrigin(r.origin, &error);
    if (!o.packOrigin) return error;
  }
  if (app.count("--chars")) {
    CharacterSelection scratch{};
    if (!MarkCharRanges(r.chars, scratch, &error)) return error;
    o.charRanges = r.chars;
  }
  if (app.count("--chars-from")) o.charsFile = r.charsFrom;
  if (app.count("--page-pixels")) {
    o.pagePixels = ParsePagePixels(r.pagePixels, &error);
    if (!o.pagePixels) return error;
  }
  if (!TakeNumber(app, "--outline", r.outline, 1, kMaxOutlineWidth, "outline width", o.outlineWidth, &error))
    return error;
  o.noOutline = r.noOutline->count() > 0;
  o.shadow = r.shadow->count() > 0;
  o.noShadow = r.noShadow->count() > 0;
  return std::nullopt;
}

// The project save, the exports, the output, the plug-in folder and time-out.
std::optional<std::string> TakeRunOptions(const CLI::App& app, const RawOptions& r, CliOptions& o) {
  std::string error;
  if (app.count("--save-project")) o.saveProject = r.saveProject;
  if (std::any_of(o.exports.begin(), o.exports.end(), [](const std::string& n) { return n.empty(); }))
    return "--export needs a plug-in name";
  if (app.count("--output")) {
    if (r.output.empty()) return "--output needs a path";
    o.output = r.output;
  }
  if (app.count("--plugins")) o.pluginsDir = r.plugins;
  if (!TakeNumber(app, "--plugin-timeout", r.pluginTimeout, 1, kMaxPluginTimeout, "plug-in time-out",
                  o.pluginTimeoutSeconds, &error))
    return error;
  return std::nullopt;
}

}  // namespace

CliParse ParseCliOptions(const std::vector<std::string>& args) {
  CliParse result;
  CliOptions& o = result.options;

  CLI::App app{
      "Glyphmill command-line front end: generates a bitmap font from an installed font and runs "
      "export plug-ins, without a window.",
      "glyphmill-cli"};
  RawOptions raw;
  AddFontOptions(app, raw);
  AddTextureOptions(app, raw, o);
  AddRunOptions(app, raw, o);

  auto fail = [&result](const std::string& message) {
    result.kind = CliParse::Kind::Error;
    result.text = "glyphmill-cli: " + message + "\n" + ShortUsage();
    return result;
  };

  try {
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    app.parse(reversed);
  } catch (const CLI::CallForVersion& e) {
    result.kind = CliParse::Kind::Help;
    result.text = std::string(e.what()) + "\n";
    return result;
  } catch (const CLI::CallForHelp&) {
    result.kind = CliParse::Kind::Help;
    result.text = app.help();
    return result;
  } catch (const CLI::ParseError& e) {
    return fail(e.what());
  }

  if (auto error = TakeFontOptions(app, raw, o)) return fail(*error);
  if (auto error = TakeTextureOptions(app, raw, o)) return fail(*error);
  if (auto error = TakeRunOptions(app, raw, o)) return fail(*error);
  result.kind = CliParse::Kind::Run;
  return result;
}

}  // namespace glyphmill::cli
