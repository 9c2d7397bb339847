// Whole-process cost of glyphmill-cli, and the project file reader and writer it starts with.
//
// BM_CliExportProcess runs the built program (glyphmill-cli in the build folder)
// with the shipped exporters: DejaVu Sans 24 pt, code units 32-126, a 256x256 texture, exported as
// BMFont text and PNG. BM_CliCjkFourPages and BM_CliCjkFourPagesFitted run the CJK ideographs at
// 32 pixels onto up to four pages of 4096 x 4096. Build glyphmill-cli and the plug-ins first.
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

// Runs glyphmill-cli of the build with `options` (the plug-in folder comes first) once per
// iteration, its standard error discarded; the files it wrote, `output` plus each of `suffixes`,
// are removed after.
void TimeCliProcess(benchmark::State& state, const std::vector<std::string>& options, const std::string& output,
                    const std::vector<std::string>& suffixes) {
  const fs::path build = BuildFolder();
  const std::string program = (build / "glyphmill-cli").string();
  const std::string plugins = (build / "plugins").string();
  if (!fs::exists(program) || !fs::exists(plugins)) {
    state.SkipWithError("build glyphmill-cli and the plug-ins first");
    return;
  }
  std::vector<std::string> args = {program, "--plugins", plugins};
  args.insert(args.end(), options.begin(), options.end());
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
  for (const std::string& suffix : suffixes) fs::remove(output + suffix);
}

void BM_CliExportProcess(benchmark::State& state) {
  const std::string output = (fs::temp_directory_path() / "glyphmill-bench-font").string();
  TimeCliProcess(state,
                 {"--font", "DejaVu Sans", "--size", "24", "--chars", "32-126", "--texture", "256x256", "-e",
                  "BMFont Text", "-e", "PNG Image", "-o", output, "--force", "--quiet"},
                 output, {".fnt", ".png", "_0.png"});
}
BENCHMARK(BM_CliExportProcess)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

// The CJK ideographs U+4E00..U+9FFF of Noto Sans CJK SC at 32 pixels (24 points) on pages of
// 4096 x 4096, at most 4, exported as BMFont text with its PNG pages: set by hand (every page
// whole), and fitted (the last page cropped).
void CjkPages(benchmark::State& state, const std::vector<std::string>& size) {
  const std::string output = (fs::temp_directory_path() / "glyphmill-bench-cjk").string();
  std::vector<std::string> options = {"--font",  "Noto Sans CJK SC", "--size",  "24", "--no-bold",
                                      "--chars", "0x4E00-0x9FFF",    "--pages", "4"};
  options.insert(options.end(), size.begin(), size.end());
  for (const char* more : {"-e", "BMFont Text", "-o", "", "--quiet"}) options.emplace_back(more);
  options[options.size() - 2] = output + ".fnt";
  TimeCliProcess(state, options, output, {".fnt", "_0.png", "_1.png", "_2.png", "_3.png"});
}
void BM_CliCjkFourPages(benchmark::State& state) { CjkPages(state, {"--texture", "4096x4096"}); }
void BM_CliCjkFourPagesFitted(benchmark::State& state) { CjkPages(state, {"--texture-max", "4096x4096"}); }
BENCHMARK(BM_CliCjkFourPages)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(10.0);
BENCHMARK(BM_CliCjkFourPagesFitted)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(10.0);

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
