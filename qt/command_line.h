// The program's command line: no arguments opens the window; --help, --version and the
// --translate filter answer on the terminal without opening a display.
#pragma once

#include <optional>

namespace zentrovax {

// Handles the command line. The exit code once it has answered (help, version, the filter, or
// a usage error: 2), or nothing when the window is to open.
std::optional<int> RunCommandLine(int argc, char** argv);

}  // namespace zentrovax
