// glyphmill-cli: the command-line front end. Parses the arguments and hands them to RunCli.
#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "cli/cli_options.h"
#include "cli/cli_run.h"
#include "cli/console.h"
#include "cli/exit_status.h"

int main(int argc, char** argv) {
  using namespace glyphmill::cli;
  const std::vector<std::string> args(argv + 1, argv + argc);
  const CliParse parse = ParseCliOptions(args);
  if (parse.kind == CliParse::Kind::Help) {
    std::cout << parse.text;
    return kExitSuccess;
  }
  if (parse.kind == CliParse::Kind::Error) {
    std::cerr << parse.text << '\n';
    return kExitUsage;
  }
  Console console(std::cerr, parse.options.quiet, ::isatty(STDERR_FILENO) == 1);
  return RunCli(parse.options, std::cout, console);
}
