#include "cli/ToolDatabase.h"

#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <system_error>

#include "cli/Terminal.h"

namespace metdb {

namespace fs = std::filesystem;

namespace {

// The data file's name and where it came from; "" for the configured one.
// An empty METDB_DB counts as unset, as an empty --db does, so that
// "METDB_DB= metdb ..." is a way back to the configured database.
std::pair<std::string, DatabaseOrigin> chooseDatabase(const ToolContext& context) {
  if (!context.databaseFile.empty()) return {context.databaseFile, DatabaseOrigin::kOption};
  const char* variable = std::getenv(kDatabaseVariable);
  if (variable != nullptr && *variable != '\0') return {variable, DatabaseOrigin::kEnvironment};
  return {"", DatabaseOrigin::kConfigured};
}

}  // namespace

ToolDatabase::ToolDatabase(ToolContext& context) : ToolDatabase(context, chooseDatabase(context)) {}

ToolDatabase::ToolDatabase(ToolContext& context, std::pair<std::string, DatabaseOrigin> choice)
    : Database(choice.first, context.waitSeconds), origin_(choice.second) {
  ToolContext* c = &context;
  if (isTerminal(context.err)) {
    onWaiting([c](const std::string& note) { c->err << "metdb: " << note << std::endl; });
  }
  onWarning([c](const std::string& sentence) { c->warning(sentence); });
  onChanged([c]() { c->markChanged(); });
}

std::string ToolDatabase::originText() const {
  switch (origin_) {
    case DatabaseOrigin::kOption:
      return "from --db";
    case DatabaseOrigin::kEnvironment:
      return std::string("from ") + kDatabaseVariable;
    case DatabaseOrigin::kConfigured:
      break;
  }
  // Without ORVANE.INI (or one that names no file) the library takes
  // metdata.bmt in the directory it was started in, which is this one.
  std::error_code ec;
  fs::path here = fs::current_path(ec);
  if (!ec && fs::path(dataFile()).lexically_normal() == (here / "metdata.bmt").lexically_normal()) {
    return "the default: metdata.bmt in the current directory";
  }
  return "from ORVANE.INI beside the library";
}

}  // namespace metdb
