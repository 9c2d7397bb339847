#include "app/install_paths.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "settings/program_folder.h"

namespace glyphmill {

namespace {

namespace fs = std::filesystem;

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? std::string(value) : std::string();
}

bool IsAbsolute(const std::string& path) { return !path.empty() && path.front() == '/'; }

// `base` + "/" + `relative`, with "." and ".." resolved lexically and no trailing "/".
std::string Join(const std::string& base, const std::string& relative) {
  std::string joined = (fs::path(base) / relative).lexically_normal().string();
  while (joined.size() > 1 && joined.back() == '/') joined.pop_back();
  return joined;
}

bool IsRegularFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// The XDG folder from `value` when it is absolute, else `home` + `fallback`; empty without either.
std::string BaseFolder(const std::string& value, const std::string& home, const char* fallback) {
  if (IsAbsolute(value)) return Join(value, ".");
  if (IsAbsolute(home)) return Join(home, fallback);
  return {};
}

// The installed tree's folders, relative to the executable's folder (bin/).
constexpr const char* kInstalledPlugins = "../lib/glyphmill/plugins";
constexpr const char* kInstalledDoc = "../share/doc/glyphmill";

}  // namespace

InstallEnvironment ProcessEnvironment() {
  InstallEnvironment env;
  std::error_code ec;
  const fs::path cwd = fs::current_path(ec);
  if (!ec) env.workingFolder = cwd.string();
  env.programFolder = RunningProgramFolder();
  env.home = Env("HOME");
  if (env.home.empty()) {
    // Started without HOME (some service managers do that): the password database knows it.
    if (const passwd* entry = ::getpwuid(::getuid()); entry != nullptr && entry->pw_dir != nullptr)
      env.home = entry->pw_dir;
  }
  env.xdgDataHome = Env("XDG_DATA_HOME");
  env.xdgConfigHome = Env("XDG_CONFIG_HOME");
  env.xdgCacheHome = Env("XDG_CACHE_HOME");
  return env;
}

std::string DataHome(const InstallEnvironment& env) { return BaseFolder(env.xdgDataHome, env.home, ".local/share"); }

std::string ConfigHome(const InstallEnvironment& env) { return BaseFolder(env.xdgConfigHome, env.home, ".config"); }

std::string CacheHome(const InstallEnvironment& env) { return BaseFolder(env.xdgCacheHome, env.home, ".cache"); }

std::vector<std::string> PluginSearchFolders(const InstallEnvironment& env, const std::string& workingFolderPlugins) {
  std::vector<std::string> folders{workingFolderPlugins};
  const auto add = [&folders, &env](const std::string& folder) {
    if (folder.empty()) return;
    // The same folder twice (a run from inside the installed plug-in folder's parent, or
    // XDG_DATA_HOME pointing at the installed tree) would only hide itself.
    const std::string first = IsAbsolute(folders.front()) ? folders.front() : Join(env.workingFolder, folders.front());
    if (folder == first || std::find(folders.begin(), folders.end(), folder) != folders.end()) return;
    folders.push_back(folder);
  };
  if (const std::string data = DataHome(env); !data.empty()) add(Join(data, "glyphmill/plugins"));
  if (IsAbsolute(env.programFolder)) add(Join(env.programFolder, kInstalledPlugins));
  return folders;
}

std::string AutosavePath(const InstallEnvironment& env) {
  const std::string config = ConfigHome(env);
  if (config.empty()) return {};
  return Join(config, std::string(kAppFolderName) + "/Autosave.gmp");
}

std::string PluginInfoCachePath(const InstallEnvironment& env) {
  const std::string cache = CacheHome(env);
  if (cache.empty()) return {};
  return Join(cache, std::string(kAppFolderName) + "/plugin-info");
}

std::string HelpPagePath(const InstallEnvironment& env) {
  if (IsAbsolute(env.workingFolder)) {
    std::string local = Join(env.workingFolder, kHelpPageName);
    if (IsRegularFile(local)) return local;
  }
  if (IsAbsolute(env.programFolder)) {
    std::string installed = Join(Join(env.programFolder, kInstalledDoc), kHelpPageName);
    if (IsRegularFile(installed)) return installed;
  }
  return {};
}

}  // namespace glyphmill
