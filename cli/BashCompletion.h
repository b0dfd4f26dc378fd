#ifndef METDB_CLI_BASHCOMPLETION_H_
#define METDB_CLI_BASHCOMPLETION_H_

#include <ostream>

namespace CLI {
class App;
}

namespace metdb {

// Writes to out a bash completion script for the tool that `app` parses
// (for share/bash-completion/completions/metdb). It completes the commands
// and subcommands, each command's options (those --help shows), the values
// of options that accept a fixed set of words (from the option's IsMember
// check, or a value name such as "table|csv|json"), file names for options
// whose value name mentions a file and for positional arguments, and
// nothing for other values (numbers, patterns). Uses bash-completion's
// _init_completion and _filedir when they are loaded, and bash's own
// completion words otherwise. Write failures are left in out's state.
void writeBashCompletion(const CLI::App& app, std::ostream& out);

}  // namespace metdb

#endif  // METDB_CLI_BASHCOMPLETION_H_
