#include "cli/commands/CheckCommand.h"

#include <CLI/CLI.hpp>

#include "cli/ToolDatabase.h"
#include "tool/database/DatabaseCheck.h"
#include "tool/text/Text.h"

namespace metdb {

namespace {

// At most this many examples are shown for each kind of fault.
constexpr std::size_t kExamples = 10;

void print(std::ostream& out, const Finding& f) {
  const char* mark = f.kind == Finding::kOk     ? "ok     "
                     : f.kind == Finding::kNote ? "note   "
                                                : "FAULT  ";
  out << mark << f.what << '\n';
  for (std::size_t i = 0; i < f.examples.size() && i < kExamples; ++i) {
    out << "         " << f.examples[i] << '\n';
  }
  if (f.examples.size() > kExamples) {
    out << "         ... and " << f.examples.size() - kExamples << " more\n";
  }
}

int check(ToolContext& context) {
  ToolDatabase access(context);
  access.open(DatabaseUse::kRead);
  context.out << "Checking " << access.dataFile() << '\n';
  long faults = 0;
  for (const Finding& f : checkDatabase(access)) {
    print(context.out, f);
    faults += f.kind == Finding::kFault;
  }
  if (faults == 0) {
    context.out << "No fault found.\n";
    return kExitOk;
  }
  context.out << text::plural(faults, "fault", "faults") << " found.\n";
  return kExitFailure;
}

}  // namespace

void addCheckCommand(CLI::App* app, ToolContext* context) {
  CLI::App* command =
      app->add_subcommand("check", "Check the data file and the directory against each other");
  command->footer(
      "Exit status 0 when no fault is found, 1 when one is.\n"
      "\n"
      "Example:\n"
      "  metdb --db stations.bmt check");
  context->addCommand(command, [context] { return check(*context); });
}

}  // namespace metdb
