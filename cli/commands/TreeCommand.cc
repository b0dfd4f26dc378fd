#include "cli/commands/TreeCommand.h"

#include <CLI/CLI.hpp>
#include <memory>

#include "cli/Interrupted.h"
#include "cli/ToolDatabase.h"
#include "tool/text/Text.h"

namespace metdb {

namespace {

long countLocations(State* s) { return static_cast<long>(s->getLocations()->count()); }

long countLocations(Country* k) {
  long n = 0;
  TISArrayAsVector<State>* states = k->getStates();
  for (unsigned i = 0; i < states->count(); ++i) n += countLocations((*states)[i]);
  return n;
}

long countLocations(Continent* c) {
  long n = 0;
  TISArrayAsVector<Country>* countries = c->getCountries();
  for (unsigned i = 0; i < countries->count(); ++i) n += countLocations((*countries)[i]);
  return n;
}

// Writes one node of the hierarchy. A check point, as is each location.
void node(std::ostream& out, int depth, const std::string& name, long count) {
  stopIfInterrupted();
  out << std::string(2 * depth, ' ') << name << " (" << count << ")\n";
}

int tree(int depth, ToolContext& context) {
  ToolDatabase access(context);
  BMTFile* db = access.open(DatabaseUse::kRead);
  if (db == nullptr) return kExitFailure;
  std::ostream& out = context.out;
  out << access.dataFile() << " (" << db->directory->locationCount << ")\n";
  TISArrayAsVector<Continent>* continents = db->directory->getContinents();
  for (unsigned i = 0; i < continents->count(); ++i) {
    Continent* c = (*continents)[i];
    node(out, 1, *c, countLocations(c));
    if (depth < 2) continue;
    TISArrayAsVector<Country>* countries = c->getCountries();
    for (unsigned j = 0; j < countries->count(); ++j) {
      Country* k = (*countries)[j];
      node(out, 2, *k, countLocations(k));
      if (depth < 3) continue;
      TISArrayAsVector<State>* states = k->getStates();
      for (unsigned m = 0; m < states->count(); ++m) {
        State* s = (*states)[m];
        node(out, 3, s->empty() ? "(no state)" : std::string(*s), countLocations(s));
        if (depth < 4) continue;
        TISArrayAsVector<Location>* locations = s->getLocations();
        for (unsigned l = 0; l < locations->count(); ++l) {
          stopIfInterrupted();
          Location* loc = (*locations)[l];
          out << std::string(8, ' ') << *loc << "  [record " << loc->locationIndex << ", level "
              << static_cast<int>(loc->level) << "]\n";
        }
      }
    }
  }
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
