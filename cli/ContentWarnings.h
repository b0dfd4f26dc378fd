#ifndef METDB_CLI_CONTENTWARNINGS_H_
#define METDB_CLI_CONTENTWARNINGS_H_

#include "cli/ToolContext.h"
#include "tool/database/ContentCheck.h"

namespace metdb {

// The content checks with what the tool knows of the world: positions are
// measured against the countries' outlines when the tool's data can be
// read; when it cannot, a warning on context says so and the rest is
// checked.
ContentCheckOptions contentCheckOptions(ToolContext& context);

// Checks the content of the open database of access (checkContent) and
// warns of each kind of fault found, with its first example, pointing to
// "metdb check --content" for the rest. For the end of create and import:
// what they wrote is kept whatever is found. duplicatesKept: exact
// duplicates were kept on purpose and are not warned of.
void warnAboutContent(Database& access, ToolContext& context, bool duplicatesKept);

}  // namespace metdb

#endif  // METDB_CLI_CONTENTWARNINGS_H_
