#ifndef METDB_CLI_MANPAGES_H_
#define METDB_CLI_MANPAGES_H_

#include <string>

namespace CLI {
class App;
}

namespace metdb {

// Writes the tool's manual pages, in roff (man(7)), into the existing folder
// `folder`: metdb.1 for the program (its options, its commands, its footer
// as further sections) and metdb-COMMAND.1 for each command that runs on its
// own (metdb-selection-new.1 for "selection new"), each with NAME, SYNOPSIS,
// DESCRIPTION, OPTIONS, EXAMPLES and SEE ALSO. Everything is taken from
// `app` as the tool's --help shows it: the descriptions, the options with
// their value names, and the footers, whose "Examples:" block becomes the
// EXAMPLES section (one example a paragraph, lines ending in a backslash
// joined to their continuation) and whose other "Heading:" blocks become
// sections of their own. `version` is the page footer ("metdb 1.10.0").
// Options in the empty group, which --help hides, are left out.
// Throws Error naming the file when one cannot be written; pages written
// before stay.
void writeManPages(const CLI::App& app, const std::string& version, const std::string& folder);

}  // namespace metdb

#endif  // METDB_CLI_MANPAGES_H_
