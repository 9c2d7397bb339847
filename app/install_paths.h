// Where the window program and the command-line tool find their plug-ins, the plug-in host, the
// autosave and the help page, following the Linux desktop conventions (XDG base directories):
//
//   plug-ins   first "plugins" under the working folder (the classic folder: its order and
//                 indices come first, so a run from the build folder behaves as it always did),
//              then $XDG_DATA_HOME/glyphmill/plugins   (default ~/.local/share/glyphmill/plugins),
//              then <executable folder>/../lib/glyphmill/plugins   (the installed exporters).
//              A file name found in an earlier folder hides a later file of the same name.
//   host       <executable folder>/glyphmill-plugin-host (build folder), else
//              <executable folder>/../lib/glyphmill/glyphmill-plugin-host (installed): found by
//              FindPluginHostExecutable (export/plugin_host_process.h)
//   plug-in descriptions   $XDG_CACHE_HOME/glyphmill/plugin-info (default ~/.cache/glyphmill/):
//              what each usable plug-in said about itself, so that a run loads only the plug-ins
//              it calls (export/plugin_info_cache.h)
//   autosave   $XDG_CONFIG_HOME/glyphmill/Autosave.gmp   (default ~/.config/glyphmill/): the
//              executable's folder is shared by every user and read-only when installed
//   help       help.html in the working folder when it exists, else
//              <executable folder>/../share/doc/glyphmill/help.html
//
// Everything is found relative to the executable, so an installed tree works from any prefix.
// The functions take the environment as a value so tests can drive them; ProcessEnvironment()
// reads the running process's.
#pragma once

#include <string>
#include <vector>

namespace glyphmill {

inline constexpr const char* kAppFolderName = "glyphmill";
inline constexpr const char* kHelpPageName = "help.html";

// What the locations depend on. An empty string means "unset".
struct InstallEnvironment {
  std::string workingFolder;  // absolute, no trailing "/"
  std::string programFolder;  // the executable's folder, absolute, no trailing "/"
  std::string home;           // $HOME, else the password database's home folder
  std::string xdgDataHome;    // $XDG_DATA_HOME as set
  std::string xdgConfigHome;  // $XDG_CONFIG_HOME as set
  std::string xdgCacheHome;   // $XDG_CACHE_HOME as set
};

// The running process's environment: getcwd, /proc/self/exe, $HOME, $XDG_DATA_HOME, $XDG_CONFIG_HOME,
// $XDG_CACHE_HOME.
InstallEnvironment ProcessEnvironment();

// $XDG_DATA_HOME, or ~/.local/share when it is unset, empty or not absolute (the base-directory
// rules ignore relative values); empty when there is no home folder either. Same for the
// configuration folder with ~/.config.
std::string DataHome(const InstallEnvironment& env);
std::string ConfigHome(const InstallEnvironment& env);
// The same for the cache folder, ~/.cache.
std::string CacheHome(const InstallEnvironment& env);

// The plug-in folders in search order. The first is `workingFolderPlugins` as given (relative to
// the working folder, "plugins" by default, so the paths stored stay "plugins/NAME.so"); the user's
// folder is left out when there is no home folder. Duplicates are left out.
std::vector<std::string> PluginSearchFolders(const InstallEnvironment& env,
                                             const std::string& workingFolderPlugins = "plugins");

// $XDG_CONFIG_HOME/glyphmill/Autosave.gmp; empty when there is no configuration folder at all.
std::string AutosavePath(const InstallEnvironment& env);

// $XDG_CACHE_HOME/glyphmill/plugin-info; empty when there is no cache folder at all.
std::string PluginInfoCachePath(const InstallEnvironment& env);

// The absolute path of the help page to open: the working folder's help.html when it exists, else
// the installed copy when that exists; empty when there is none.
std::string HelpPagePath(const InstallEnvironment& env);

}  // namespace glyphmill
