// What meridel-cli prints for a usage error and for --help.
#pragma once

namespace meridel::cli {

// The usage lines: after every usage error, and first in --help.
extern const char* const kUsage;
// The rest of --help: each option, the exit statuses and examples.
extern const char* const kHelp;

}  // namespace meridel::cli
