#ifndef METDB_CLI_COMMANDTREE_H_
#define METDB_CLI_COMMANDTREE_H_

#include <string>
#include <vector>

namespace CLI {
class App;
class Option;
}  // namespace CLI

namespace metdb {

// The tool's command table as its --help shows it, for what is written from
// it: the manual pages and the bash completion.

// The words that reach command from the program: "selection new" for that
// command, "" for the program itself.
std::string commandWords(const CLI::App& command);

// The same after the program's name: "metdb selection new", "metdb".
std::string commandPath(const CLI::App& command);

// The command's subcommands, in the order --help lists them.
std::vector<const CLI::App*> subcommandsOf(const CLI::App& command);

// The options --help shows of command (those of the empty group are
// hidden): the positional arguments, or the others.
std::vector<const CLI::Option*> shownOptions(const CLI::App& command, bool positional);

}  // namespace metdb

#endif  // METDB_CLI_COMMANDTREE_H_
