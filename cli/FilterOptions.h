#ifndef METDB_CLI_FILTEROPTIONS_H_
#define METDB_CLI_FILTEROPTIONS_H_

#include <string>

#include "cli/ToolContext.h"
#include "tool/database/Filters.h"

namespace metdb {

// Registers the filter options on command, filling *filters (which must
// outlive the parse): --continent, --country, --state, --name,
// --level-limit and --bbox, the same words in every command that picks
// locations; withSelectionFile adds --selection FILE, which excludes the
// others.
void addFilterOptions(CLI::App* command, Filters* filters, bool withSelectionFile);

}  // namespace metdb

#endif  // METDB_CLI_FILTEROPTIONS_H_
