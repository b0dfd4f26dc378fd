#include "cli/commands/TreeCommand.h"

#include <CLI/CLI.hpp>
#include <memory>

#include "cli/Interrupted.h"
#include "cli/ToolDatabase.h"
#include "tool/database/DirectoryStats.h"
#include "tool/database/DirectoryWalk.h"
#include "tool/text/Text.h"

namespace metdb {

namespace {

// Writes the hierarchy down to a depth (1 continents .. 4 locations), each
// group with its number of locations. Each node is a check point.
class TreeWriter : public DirectoryVisitor {
 public:
  TreeWriter(std::ostream& out, int depth) : out_(out), depth_(depth) {}

  bool enterContinent(Continent* c) override { return node(1, *c, locationsIn(c)); }
  bool enterCountry(Continent*, Country* k) override { return node(2, *k, locationsIn(k)); }
  bool enterState(Continent*, Country*, State* s) override {
    return node(3, s->empty() ? "(no state)" : std::string(*s), locationsIn(s));
  }
  bool visitLocation(Continent*, Country*, State*, Location* loc) override {
    stopIfInterrupted();
    out_ << std::string(8, ' ') << *loc << "  [record " << loc->locationIndex << ", level "
         << static_cast<int>(loc->level) << "]\n";
    return true;
  }

 private:
  // Writes a group at level (1..3); whether to go below it.
  bool node(int level, const std::string& name, long count) {
    stopIfInterrupted();
    out_ << std::string(2 * level, ' ') << name << " (" << count << ")\n";
    return level < depth_;
  }

  std::ostream& out_;
  int depth_;
};

int tree(int depth, ToolContext& context) {
  ToolDatabase access(context);
  BMTFile* db = access.open(DatabaseUse::kRead);
  if (db == nullptr) return kExitFailure;
  context.out << access.dataFile() << " (" << db->directory->locationCount << ")\n";
  TreeWriter writer(context.out, depth);
  walkDirectory(db->directory, writer);
  return kExitOk;
}

}  // namespace

void addTreeCommand(CLI::App* app, ToolContext* context) {
  CLI::App* command =
      app->add_subcommand("tree", "Show the hierarchy with the number of locations at each node");
  auto depth = std::make_shared<int>(3);
  command
      ->add_option("--depth", *depth,
                   "How deep to go: 1 continents, 2 countries, 3 states, 4 locations (default 3)")
      ->check(CLI::Range(1, 4))
      ->type_name("1..4");
  command->footer(
      "Example:\n"
      "  metdb --db stations.bmt tree --depth 2");
  context->addCommand(command, [depth, context] { return tree(*depth, *context); });
}

}  // namespace metdb
