#include "cli/commands/SetCommand.h"

#include <CLI/CLI.hpp>
#include <cstring>
#include <memory>

#include "cli/RecordOptions.h"
#include "cli/ToolDatabase.h"
#include "tool/database/LocationPath.h"
#include "tool/database/RecordEditor.h"
#include "tool/text/Text.h"

namespace metdb {

namespace {

struct SetOptions {
  long index = 0;
  RecordOptions fields;
};

int setRecord(const SetOptions& o, ToolContext& context) {
  if (!o.fields.anyGiven()) {
    return context.usageError("give at least one field to change, such as --level 2");
  }
  ToolDatabase access(context);
  access.open(DatabaseUse::kWrite);
  RecordEditor editor(access);
  LocationData old = editor.record(o.index);
  LocationData record;
  std::vector<std::string> warnings;
  std::string error;
  if (!o.fields.apply(old, &record, &warnings, &error)) {
    context.error(error + ".");
    return kExitFailure;
  }
  for (const std::string& w : warnings) context.warning(w);
  long now = editor.replace(o.index, &record);
  if (now == o.index) {
    context.out << "Changed record " << o.index << " (" << recordPath(record) << ").\n";
    return kExitOk;
  }
  context.out << "Changed record " << o.index << " (" << recordPath(old) << "); it is now record "
              << (now >= 0 ? std::to_string(now) : std::string("?"));
  if (recordPath(old) != recordPath(record)) context.out << " (" << recordPath(record) << ")";
  context.out << ".\n";
  return kExitOk;
}

}  // namespace

void addSetCommand(CLI::App* app, ToolContext* context) {
  CLI::App* command = app->add_subcommand("set", "Change fields of one record");
  auto o = std::make_shared<SetOptions>();
  command->add_option("INDEX", o->index, "The record's index (see \"metdb list\")")
      ->required()
      ->check(CLI::NonNegativeNumber)
      ->type_name("");
  o->fields.addOptions(command, false);
  command->footer(
      "Fields not given keep their values. A record whose names, level or position change\n"
      "moves to its new group and may get another index.\n"
      "\n"
      "Example:\n"
      "  metdb --db stations.bmt set 12 --level 3 --series-c 1,2,3,4,5,6,7,8,9,10,11,12");
  context->addCommand(command, [o, context] { return setRecord(*o, *context); });
}

}  // namespace metdb
