#include "cli/commands/CheckCommand.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <memory>

#include "cli/ContentWarnings.h"
#include "cli/ToolDatabase.h"
#include "tool/Error.h"
#include "tool/database/ContentCheck.h"
#include "tool/database/DatabaseCheck.h"
#include "tool/text/Text.h"

namespace metdb {

namespace {

// At most this many examples are shown for each kind of fault.
constexpr std::size_t kExamples = 10;

void print(std::ostream& out, const Finding& f, std::size_t examples) {
  const char* mark = f.kind == Finding::kOk     ? "ok     "
                     : f.kind == Finding::kNote ? "note   "
                                                : "FAULT  ";
  out << mark << f.what << '\n';
  std::size_t shown = examples == 0 ? f.examples.size() : std::min(examples, f.examples.size());
  for (std::size_t i = 0; i < shown; ++i) out << "         " << f.examples[i] << '\n';
  // Only the first examples of a long finding are kept: the rest is
  // counted from the finding's own count.
  std::size_t all = std::max(f.count, f.examples.size());
  if (all > shown) out << "         ... and " << all - shown << " more\n";
}

struct CheckOptions {
  bool content = false;
  std::size_t examples = kExamples;
};

int check(const CheckOptions& o, ToolContext& context) {
  ToolDatabase access(context);
  access.open(DatabaseUse::kRead);
  context.out << "Checking " << access.dataFile() << '\n';
  long faults = 0;
  auto show = [&](const std::vector<Finding>& findings) {
    for (const Finding& f : findings) {
      print(context.out, f, o.examples);
      faults += f.kind == Finding::kFault;
    }
  };
  show(checkDatabase(access));
  if (o.content) show(checkContent(access, contentCheckOptions(context)));
  if (faults == 0) {
    context.out << "No fault found.\n";
    return kExitOk;
  }
  context.out << text::plural(faults, "fault", "faults") << " found.\n";
  return kExitFailure;
}

}  // namespace

void addCheckCommand(CLI::App* app, ToolContext* context) {
  CLI::App* command = app->add_subcommand(
      "check", "Check the data file and the directory against each other, and what they hold");
  auto o = std::make_shared<CheckOptions>();
  command->add_flag("--content", o->content,
                    "Check what the records say too: duplicates, near duplicates, impossible "
                    "positions, positions outside their countries (with the slip that explains "
                    "one), broken names, odd levels");
  command
      ->add_option("--examples", o->examples,
                   "Show N examples of each fault or note (default 10; 0: all)")
      ->type_name("N");
  command->footer(
      "Exit status 0 when no fault is found, 1 when one is. A fault is something\n"
      "lost, unreadable or inconsistent: bytes that are no whole record, a directory\n"
      "file that does not read, a location that disagrees with its record or refers\n"
      "to one that is missing or another location's.\n"
      "\n"
      "Notes are not faults: records that programs appended after their group, the\n"
      "groups a directory rebuilt from them holds twice, and the records of deleted\n"
      "locations are what the library's own appends and deletions leave until the\n"
      "next compaction. They are listed as notes with the command that tidies them\n"
      "(metdb compact), and leave the exit status 0.\n"
      "\n"
      "--content reports exact duplicates (names, level, position), locations of one\n"
      "name in one state within 1 km (and as notes: across states, and any two of\n"
      "different names within 10 m), positions at 0,0 or off the globe, positions\n"
      "more than 25 km outside their country (its 1:50m outline with the small\n"
      "islands of the 1:10m one), names with control characters or bytes that are\n"
      "not UTF-8, and levels that fewer than one in a thousand locations have,\n"
      "outside the others. Each names the locations by path and record index, the\n"
      "most suspicious first. Positions outside their country come in one finding\n"
      "for each slip that explains some (latitude and longitude swapped, a lost\n"
      "sign, a misplaced decimal point, degrees and minutes read as decimals), each\n"
      "with the corrected position, and one for the rest; in each the farthest\n"
      "outside first, then the loneliest.\n"
      "\n"
      "Examples:\n"
      "  metdb --db stations.bmt check\n"
      "  metdb --db stations.bmt check --content --examples 0\n"
      "  metdb --db stations.bmt compact     # tidies what the notes list");
  context->addCommand(command, [o, context] { return check(*o, *context); });
}

}  // namespace metdb
