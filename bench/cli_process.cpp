// Whole-process cost of glyphmill-cli, and the project file reader and writer it starts with.
//
// BM_CliExportProcess runs the built program (glyphmill-cli in the build folder)
// with the shipped exporters: DejaVu Sans 24 pt, code units 32-126, a 256x256 texture, exported as
// BMFont text and PNG. Build glyphmill-cli and the plug-ins first.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "project/project_file.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

fs::path BuildFolder() { return fs::read_symlink("/proc/self/exe").parent_path().parent_path(); }

void BM_CliExportProcess(benchmark::State& state) {
  const fs::path build = BuildFolder();
  const std::string program = (build / "glyphmill-cli").string();
  const std::string plugins = (build / "plugins").string();
  if (!fs::exists(program) || !fs::exists(plugins)) {
    state.SkipWithError("build glyphmill-cli and the plug-ins first");
    return;
  }
  const std::string output = (fs::temp_directory_path() / "glyphmill-bench-font").string();
  std::vector<std::string> args = {program,     "--plugins", plugins,     "--font",  "DejaVu Sans", "--size",      "24",
                                   "--chars",   "32-126",    "--texture", "256x256", "-e",          "BMFont Text", "-e",
                                   "PNG Image", "-o",        output,      "--force", "--quiet"};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  int lastStatus = 0;
  for (auto _ : state) {
    pid_t pid = 0;
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) {
      state.SkipWithError("cannot start glyphmill-cli");
      break;
    }
    int status = 0;
    waitpid(pid, &status, 0);
    lastStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  posix_spawn_file_actions_destroy(&actions);
  if (lastStatus != 0) state.SkipWithError(("glyphmill-cli exited with " + std::to_string(lastStatus)).c_str());
  for (const char* ext : {".fnt", ".png", "_0.png"}) fs::remove(output + ext);
}
BENCHMARK(BM_CliExportProcess)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

glyphmill::ProjectData SampleProject(std::size_t jobs) {
  glyphmill::ProjectData p;
  p.settings = glyphmill::FirstStartSettings();
  p.settings.setFontName("DejaVu Sans");
  glyphmill::SetDefaultSelection(p.selection);
  p.jobs.resize(jobs);
  return p;
}

void BM_ProjectWrite(benchmark::State& state) {
  const glyphmill::ProjectData p = SampleProject(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(glyphmill::ProjectToBytes(p.settings, p.selection, p.jobs));
}
BENCHMARK(BM_ProjectWrite)->Arg(0)->Arg(100);

void BM_ProjectRead(benchmark::State& state) {
  const glyphmill::ProjectData p = SampleProject(static_cast<std::size_t>(state.range(0)));
  const std::vector<uint8_t> bytes = glyphmill::ProjectToBytes(p.settings, p.selection, p.jobs);
  const glyphmill::PluginNames names{"BMFont Text", "PNG Image"};
  for (auto _ : state) benchmark::DoNotOptimize(glyphmill::ParseProjectBytes(bytes.data(), bytes.size(), names));
}
BENCHMARK(BM_ProjectRead)->Arg(0)->Arg(100);

}  // namespace

BENCHMARK_MAIN();
