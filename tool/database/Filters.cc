#include "tool/database/Filters.h"

#include <algorithm>
#include <vector>

#include "module/CurrentDatabase.h"
#include "tool/CheckPoint.h"
#include "tool/Error.h"
#include "tool/database/DirectoryWalk.h"
#include "tool/database/LocationFilter.h"
#include "tool/text/InputFile.h"
#include "tool/text/Text.h"

namespace metdb {

namespace {

// Builds one chain of entries, dropping an entry whose name equals the one
// before it ignoring case: the resolution would match the first directory
// element of that name again and list its locations twice.
class ChainBuilder {
 public:
  TLocList* add(const std::string& name, bool selectAll) {
    if (tail_ != nullptr && text::equalIgnoringCase(tail_->name, name)) return nullptr;
    TLocList* entry = new TLocList(name.c_str(), selectAll);
    (tail_ == nullptr ? head_ : tail_->nextEntry) = entry;
    tail_ = entry;
    return entry;
  }
  TLocList* head() const { return head_; }

 private:
  TLocList* head_ = nullptr;
  TLocList* tail_ = nullptr;
};

// Builds the selection's tree during a walk of the directory. Levels are
// numbered 0 (continents) to 3 (locations). Each entered group gathers the
// chain of its matching children; when it is left, it joins its parent's
// chain with that chain below it, or not at all when nothing below it
// matched.
class TreeBuilder : public DirectoryVisitor {
 public:
  TreeBuilder(const LocationFilter& filter, TLocationSelection* selection)
      : filter_(filter),
        // The deepest level that a filter names; below it nodes are taken whole.
        deepest_(std::max(0, filter.deepestLevel())),
        selection_(selection) {}

  bool enterContinent(Continent* c) override { return enter(0, *c); }
  bool enterCountry(Continent*, Country* k) override { return enter(1, *k); }
  bool enterState(Continent*, Country*, State* s) override { return enter(2, *s); }
  bool visitLocation(Continent*, Country*, State*, Location* l) override {
    if (filter_.admits(3, *l)) chains_[3].add(*l, false);
    return true;
  }
  void leaveState(Continent*, Country*, State* s) override { leave(2, *s); }
  void leaveCountry(Continent*, Country* k) override { leave(1, *k); }
  void leaveContinent(Continent* c) override { leave(0, *c); }

  TLocList* tree() const { return chains_[0].head(); }

 private:
  bool enter(int level, const std::string& name) {
    if (!filter_.admits(level, name)) return false;
    if (level == deepest_) {
      chains_[level].add(name, true);
      return false;
    }
    chains_[level + 1] = ChainBuilder();
    return true;
  }

  void leave(int level, const std::string& name) {
    TLocList* below = chains_[level + 1].head();
    if (below == nullptr) return;
    TLocList* entry = chains_[level].add(name, false);
    if (entry != nullptr) {
      entry->subList = below;
    } else {
      selection_->deleteList(below);
    }
  }

  const LocationFilter& filter_;
  int deepest_;
  TLocationSelection* selection_;
  ChainBuilder chains_[4];
};

}  // namespace

const std::array<PatternFilter, 4>& patternFilters() {
  const std::array<NameLevel, 4>& levels = nameLevels();
  static const std::array<PatternFilter, 4> filters = {{
      {levels[0], &Filters::continent, "Only this continent"},
      {levels[1], &Filters::country, "Only this country"},
      {levels[2], &Filters::state, "Only this state"},
      {levels[3], &Filters::name,
       "Only locations of this name (ignoring case; * and ? are wildcards, as in the other "
       "patterns)"},
  }};
  return filters;
}

bool checkBox(const Box& box, std::string* why, const std::string* written) {
  const float v[4] = {box.south, box.west, box.north, box.east};
  const char* names[] = {"SOUTH", "WEST", "NORTH", "EAST"};
  for (int i = 0; i < 4; ++i) {
    float limit = (i % 2 == 0) ? 90.0f : 180.0f;
    // Written so that NaN fails too.
    if (!(v[i] >= -limit && v[i] <= limit)) {
      *why = std::string(names[i]) + " " +
             text::quoted(written ? written[i] : text::shortestFloat(v[i])) + " is outside " +
             (i % 2 == 0 ? "-90..90" : "-180..180");
      return false;
    }
  }
  if (box.south > box.north) {
    *why = "SOUTH lies north of NORTH";
    return false;
  }
  return true;
}

bool tryParseBox(const std::string& textValue, Box* box, std::string* why) {
  std::vector<std::string> parts = text::split(textValue, ',');
  float v[4];
  if (parts.size() != 4) {
    *why = text::quoted(textValue) + " is not four numbers SOUTH,WEST,NORTH,EAST";
    return false;
  }
  for (int i = 0; i < 4; ++i) {
    if (!text::parseNumber(parts[i], &v[i])) {
      *why = text::quoted(parts[i]) + " does not parse as a number";
      return false;
    }
  }
  Box parsed{v[0], v[1], v[2], v[3]};
  if (!checkBox(parsed, why, parts.data())) return false;
  *box = parsed;
  return true;
}

Box parseBox(const std::string& textValue) {
  Box box;
  std::string why;
  if (!tryParseBox(textValue, &box, &why))
    throw Error("--bbox: " + why + ".", Error::Cause::kBadInput);
  return box;
}

namespace {

// Drops each entry of a chain that repeats the one before it (as
// ChainBuilder does) and would list nothing new: the one before selects its
// whole node, or it selects nothing itself; one that selects the whole node
// takes the place of the one before. The library lists a repeated entry's
// locations again for each repetition, so that a file naming one continent
// a million times would list it a million times. Sub-lists are treated
// alike, level by level.
void dropRepeatedEntries(TLocList*& chain, TLocationSelection* owner) {
  TLocList** kept = nullptr;  // the link to the entry before
  TLocList** link = &chain;
  while (*link != nullptr) {
    TLocList* entry = *link;
    if (kept != nullptr && text::equalIgnoringCase((*kept)->name, entry->name)) {
      TLocList* previous = *kept;
      if (previous->selectAll || (!entry->selectAll && entry->subList == nullptr)) {
        *link = entry->nextEntry;
        entry->nextEntry = nullptr;
        owner->deleteList(entry);
        continue;
      }
      if (entry->selectAll || previous->subList == nullptr) {
        *kept = entry;
        previous->nextEntry = nullptr;
        owner->deleteList(previous);
        link = &entry->nextEntry;
        continue;
      }
    }
    kept = link;
    link = &entry->nextEntry;
  }
  // Nesting is at most TLocationSelection::kMaxDepth levels deep.
  for (TLocList* e = chain; e != nullptr; e = e->nextEntry) {
    if (e->subList != nullptr) dropRepeatedEntries(e->subList, owner);
  }
}

// The most names (continents, countries, states and locations together)
// that a selection file may hold: twice the locations of the largest
// databases in use, and about 240 MB of memory once read.
constexpr long long kMaxSelectionNames = 2000000;

// An upper bound of the names that file holds: its lines but the sub-list
// marks "<" and ">", less its two first lines, one name in two (each name
// has its flag line). Counted in blocks, without keeping a line. -1 when
// the file cannot be read here (the library's read then says why).
long long namesInSelectionFile(const std::string& file) {
  try {
    InputFile in(file);
    std::vector<char> block(1 << 16);
    long long lines = 0, lineLength = 0;
    char first = 0;
    long long offset = 0;
    for (;;) {
      std::size_t got = in.readAt(offset, block.data(), block.size());
      if (got == 0) break;
      checkPoint();
      for (std::size_t i = 0; i < got; ++i) {
        char c = block[i];
        if (c != '\n') {
          if (lineLength++ == 0) first = c;
          continue;
        }
        bool mark = lineLength == 1 && (first == '<' || first == '>');
        if (!mark) ++lines;
        lineLength = 0;
      }
      offset += static_cast<long long>(got);
    }
    if (lineLength > 0) ++lines;
    return lines > 2 ? (lines - 2 + 1) / 2 : 0;
  } catch (const Error&) {
    return -1;
  }
}

}  // namespace

void readSelectionFile(const std::string& file, TLocationSelection* selection) {
  long long names = namesInSelectionFile(file);
  if (names > kMaxSelectionNames) {
    throw Error("The selection file \"" + file + "\" holds about " + std::to_string(names) +
                " names, more than the " + std::to_string(kMaxSelectionNames) +
                " (continents, countries, states and locations together) that a selection may "
                "name; select by fewer names, or by level and box.");
  }
  int read = selection->read(file.c_str());
  if (read == 1) {
    dropRepeatedEntries(selection->continentList, selection);
    return;
  }
  // The library says why it could not open the file (missing, a FIFO, a
  // folder...).
  std::string reason = read == 0 ? getMetLastError() : "";
  throw Error(read == 0 ? "Cannot open the selection file \"" + file + "\"" +
                              (reason.empty() ? "" : ": " + reason) + "."
                        : "\"" + file + "\" is not a selection file of version 1.10.",
              Error::Cause::kBadInput);
}

bool Filters::narrowsTree() const {
  for (const PatternFilter& f : patternFilters()) {
    if (!(this->*f.pattern).empty()) return true;
  }
  return false;
}

std::string Filters::describe() const {
  if (!selectionFile.empty()) return "--selection " + selectionFile;
  std::string out;
  auto add = [&out](const std::string& option, const std::string& value) {
    if (value.empty()) return;
    if (!out.empty()) out += ' ';
    out += option + " " + value;
  };
  for (const PatternFilter& f : patternFilters()) {
    add("--" + std::string(f.level.field->column), this->*f.pattern);
  }
  if (levelGiven) {
    add("--level-limit", std::to_string(levelLimit));
  }
  if (bbox) {
    add("--bbox", text::shortestFloat(bbox->south) + "," + text::shortestFloat(bbox->west) + "," +
                      text::shortestFloat(bbox->north) + "," + text::shortestFloat(bbox->east));
  }
  for (const std::string& id : ids) add("--id", id);
  add("--active", active);
  return out;
}

void Filters::toSelection(Directory* directory, TLocationSelection* selection) const {
  if (!selectionFile.empty()) {
    readSelectionFile(selectionFile, selection);
    return;
  }
  selection->levelLimit = levelLimit;
  if (bbox) {
    selection->minLatitude = bbox->south;
    selection->minLongitude = bbox->west;
    selection->maxLatitude = bbox->north;
    selection->maxLongitude = bbox->east;
    if (selection->minLongitude > selection->maxLongitude) {
      throw Error("--bbox: a selection file cannot hold a box across the 180th meridian (WEST " +
                      text::shortestFloat(selection->minLongitude) + " lies east of EAST " +
                      text::shortestFloat(selection->maxLongitude) +
                      "); save one selection on each side of it.",
                  Error::Cause::kBadInput);
    }
    selection->useLatLonLimits = true;
  }
  LocationFilter filter(*this);
  TreeBuilder builder(filter, selection);
  walkDirectory(directory, builder);
  selection->continentList = builder.tree();
}

}  // namespace metdb
