#ifndef METDB_CLI_TOOLDATABASE_H_
#define METDB_CLI_TOOLDATABASE_H_

#include "cli/ToolContext.h"
#include "tool/database/Database.h"

namespace metdb {

// The database a command works on, as the command line names it: --db or
// the configured one, waiting up to --wait. Its waiting note goes to the
// context's error stream when that is a terminal, its warnings go there
// always, and a committed change marks the context changed. The context
// outlives the object.
class ToolDatabase : public Database {
 public:
  explicit ToolDatabase(ToolContext& context);
};

}  // namespace metdb

#endif  // METDB_CLI_TOOLDATABASE_H_
