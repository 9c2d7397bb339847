// Exit statuses of glyphmill-cli.
#pragma once

namespace glyphmill::cli {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitUsage = 1;           // bad usage: a short usage text was printed
inline constexpr int kExitProjectRefused = 2;  // the project was refused or could not be read
inline constexpr int kExitDoesNotFit = 3;      // characters did not fit and --force was not given
inline constexpr int kExitExportFailed = 4;    // an export (or the project save) failed; the rest still ran

}  // namespace glyphmill::cli
