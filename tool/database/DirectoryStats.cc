#include "tool/database/DirectoryStats.h"

#include "tool/database/DirectoryWalk.h"
#include "tool/text/Text.h"

namespace metdb {

namespace {

// Notes the groups of one level that repeat the name of the sibling before
// them (equal names stand together in the sorted arrays), once per run of
// equal names.
class RepeatedNames {
 public:
  // The next group's parent is another one: its first child repeats nothing.
  void newParent() { run_ = 0; }
  void note(const std::string& name, const std::string& path, std::vector<std::string>* out) {
    run_ = run_ > 0 && text::equalIgnoringCase(name, last_) ? run_ + 1 : 1;
    last_ = name;
    if (run_ == 2) out->push_back(path);
  }

 private:
  std::string last_;
  int run_ = 0;
};

class Counter : public DirectoryVisitor {
 public:
  explicit Counter(DirectoryStats* stats) : s_(*stats) {}

  bool enterContinent(Continent* c) override {
    ++s_.continents;
    continents_.note(*c, *c, &s_.duplicateGroups);
    countries_.newParent();
    return true;
  }
  bool enterCountry(Continent* c, Country* k) override {
    ++s_.countries;
    countries_.note(*k, *c + "/" + *k, &s_.duplicateGroups);
    states_.newParent();
    return true;
  }
  // Locations are counted, not walked.
  bool enterState(Continent* c, Country* k, State* st) override {
    ++s_.states;
    states_.note(*st, *c + "/" + *k + "/" + *st, &s_.duplicateGroups);
    s_.locations += static_cast<long>(st->getLocations()->count());
    return false;
  }

 private:
  DirectoryStats& s_;
  RepeatedNames continents_, countries_, states_;
};

}  // namespace

DirectoryStats DirectoryStats::of(Directory* directory) {
  DirectoryStats s;
  Counter counter(&s);
  walkDirectory(directory, counter);
  return s;
}

long locationsIn(State* state) { return static_cast<long>(state->getLocations()->count()); }

long locationsIn(Country* country) {
  long n = 0;
  TISArrayAsVector<State>* states = country->getStates();
  for (unsigned i = 0; i < states->count(); ++i) n += locationsIn((*states)[i]);
  return n;
}

long locationsIn(Continent* continent) {
  long n = 0;
  TISArrayAsVector<Country>* countries = continent->getCountries();
  for (unsigned i = 0; i < countries->count(); ++i) n += locationsIn((*countries)[i]);
  return n;
}

}  // namespace metdb
