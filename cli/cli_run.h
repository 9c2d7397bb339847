// RunCli: one run of glyphmill-cli over the core, in the order the window program takes the same
// road: plug-in discovery, the project (or the first-start settings), the overrides, the optional
// project save, then an export request that generates the font and runs the exports in its
// completion. No algorithm lives here; every step is a core operation.
#pragma once

#include <ostream>
#include <string>

#include "cli/cli_options.h"
#include "cli/console.h"
#include "settings/generation_settings.h"

namespace glyphmill::cli {

// Runs the options; listings go to `out`, messages to `console`. Returns the exit status
// (cli/exit_status.h).
int RunCli(const CliOptions& options, std::ostream& out, Console& console);

// The answer to the save prompts when no --output is given: the font's name, with characters that
// cannot be part of a file name replaced by "_", in the current folder.
std::string DefaultOutputName(const GenerationSettings& settings);

}  // namespace glyphmill::cli
