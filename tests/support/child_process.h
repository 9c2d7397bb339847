// Running a program as a separate process from a test: a shell command line with standard input
// from /dev/null and standard output and error captured, then its exit status and both texts.
#pragma once

#include <string>
#include <vector>

namespace glyphmill::testing {

struct ProcessResult {
  int status = -1;  // the exit status; -1 when the process did not exit (a signal ended it)
  std::string out;  // standard output
  std::string err;  // standard error
};

// `arg` as one word of a shell command line: in single quotes, with any single quote spelled '\''.
std::string Quote(const std::string& arg);

// A whole file's bytes; "" when it cannot be read.
std::string ReadAll(const std::string& path);

// Runs `command` (a shell command line, already quoted; a list of commands too) through /bin/sh,
// standard input from /dev/null, standard output and error captured through the files "stdout"
// and "stderr" in `captureFolder`.
ProcessResult RunShell(const std::string& command, const std::string& captureFolder);

// Runs `program` with `args` (each quoted), in `workingFolder` when one is given. Under the leak
// checker its summary of suppressed reports is turned off, else it would land in the captured
// standard error.
ProcessResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::string& captureFolder, const std::string& workingFolder = "");

}  // namespace glyphmill::testing
