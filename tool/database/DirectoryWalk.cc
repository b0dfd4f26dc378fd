#include "tool/database/DirectoryWalk.h"

namespace metdb {

namespace {
constexpr unsigned kPrefetchAhead = 8;
}  // namespace

bool walkDirectory(Directory* directory, DirectoryVisitor& visitor) {
  TISArrayAsVector<Continent>* continents = directory->getContinents();
  for (unsigned i = 0; i < continents->count(); ++i) {
    Continent* c = (*continents)[i];
    if (!visitor.enterContinent(c)) continue;
    TISArrayAsVector<Country>* countries = c->getCountries();
    for (unsigned j = 0; j < countries->count(); ++j) {
      Country* k = (*countries)[j];
      if (!visitor.enterCountry(c, k)) continue;
      TISArrayAsVector<State>* states = k->getStates();
      for (unsigned s = 0; s < states->count(); ++s) {
        State* st = (*states)[s];
        if (!visitor.enterState(c, k, st)) continue;
        TISArrayAsVector<Location>* locations = st->getLocations();
        const unsigned count = locations->count();
        for (unsigned l = 0; l < count; ++l) {
          // The entries lie where they were made, not in name order: fetch
          // a few ahead so that a walk over a large state does not wait on
          // memory at every entry.
          if (l + kPrefetchAhead < count) __builtin_prefetch((*locations)[l + kPrefetchAhead]);
          if (!visitor.visitLocation(c, k, st, (*locations)[l])) return false;
        }
        visitor.leaveState(c, k, st);
      }
      visitor.leaveCountry(c, k);
    }
    visitor.leaveContinent(c);
  }
  return true;
}

void forEachLocation(Directory* directory, const LocationVisit& visit) {
  struct Visitor : DirectoryVisitor {
    explicit Visitor(const LocationVisit& v) : visit(v) {}
    bool visitLocation(Continent* c, Country* k, State* s, Location* l) override {
      visit(c, k, s, l);
      return true;
    }
    const LocationVisit& visit;
  } visitor(visit);
  walkDirectory(directory, visitor);
}

}  // namespace metdb
