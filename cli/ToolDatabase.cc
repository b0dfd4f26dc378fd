#include "cli/ToolDatabase.h"

#include <ostream>

#include "cli/Terminal.h"

namespace metdb {

ToolDatabase::ToolDatabase(ToolContext& context)
    : Database(context.databaseFile, context.waitSeconds) {
  ToolContext* c = &context;
  if (isTerminal(context.err)) {
    onWaiting([c](const std::string& note) { c->err << "metdb: " << note << std::endl; });
  }
  onWarning([c](const std::string& sentence) { c->warning(sentence); });
  onChanged([c]() { c->markChanged(); });
}

}  // namespace metdb
