#ifndef METDB_CLI_TOOLDATABASE_H_
#define METDB_CLI_TOOLDATABASE_H_

#include <string>
#include <utility>

#include "cli/ToolContext.h"
#include "tool/database/Database.h"

namespace metdb {

// Where the name of the database a command works on came from, in the
// order they are asked.
enum class DatabaseOrigin {
  kOption,       // --db DATAFILE
  kEnvironment,  // the environment variable METDB_DB, when set and not empty
  kConfigured,   // the library's current database: ORVANE.INI beside it, or its default
};

// The environment variable that names the database when --db does not.
inline constexpr const char kDatabaseVariable[] = "METDB_DB";

// The database a command works on, as the command line and the environment
// name it: --db, else METDB_DB, else the configured one; waiting up to
// --wait. Its waiting note goes to the context's error stream when that is
// a terminal, its warnings go there always, and a committed change marks
// the context changed. The context outlives the object.
class ToolDatabase : public Database {
 public:
  explicit ToolDatabase(ToolContext& context);

  DatabaseOrigin origin() const { return origin_; }
  // Why this database is the one, for a person: "from --db", "from
  // METDB_DB", "from ORVANE.INI beside the library", or, when the
  // configured name is the library's own default, "the default:
  // metdata.bmt in the current directory".
  std::string originText() const;

 private:
  ToolDatabase(ToolContext& context, std::pair<std::string, DatabaseOrigin> choice);

  DatabaseOrigin origin_;
};

}  // namespace metdb

#endif  // METDB_CLI_TOOLDATABASE_H_
