#include "child_process.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace glyphmill::testing {

std::string Quote(const std::string& arg) {
  std::string q = "'";
  for (char c : arg) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

ProcessResult RunShell(const std::string& command, const std::string& captureFolder) {
  const std::string out = captureFolder + "/stdout", err = captureFolder + "/stderr";
  // Grouped, so that the redirections hold for every command of a list ("cd F && prog"), not only
  // for the last.
  const std::string line = "{ " + command + "\n} >" + Quote(out) + " 2>" + Quote(err) + " </dev/null";
  const int raw = std::system(line.c_str());
  ProcessResult r;
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.out = ReadAll(out);
  r.err = ReadAll(err);
  return r;
}

ProcessResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::string& captureFolder, const std::string& workingFolder) {
  std::string command;
  if (!workingFolder.empty()) command = "cd " + Quote(workingFolder) + " && ";
  if (const char* lsan = std::getenv("LSAN_OPTIONS"))
    command += "LSAN_OPTIONS=" + Quote(std::string(lsan) + ":print_suppressions=0") + " ";
  command += Quote(program);
  for (const std::string& a : args) command += " " + Quote(a);
  return RunShell(command, captureFolder);
}

}  // namespace glyphmill::testing
