#ifndef METDB_TOOL_DATABASE_CONTENTITEMS_H_
#define METDB_TOOL_DATABASE_CONTENTITEMS_H_

#include <cstddef>
#include <string>
#include <vector>

#include "directory/Directory.h"
#include "tool/database/DatabaseCheck.h"

namespace metdb {

// One location as the content checks see it: its groups and entry in the
// directory (owned by the database, which outlives the checks) and what
// its record says.
struct ContentItem {
  Continent* continent;
  Country* country;
  State* state;
  Location* location;
  float latitude;  // the record's, not the directory's rounded ones
  float longitude;
  int level;
  // Hashes of the name's search key, and of everything an exact duplicate
  // shares: sorting by them brings the candidates together without a map
  // of a million strings.
  std::size_t nameHash;
  std::size_t exactHash;
  // What is wrong with the record's names ("its name holds bytes that are
  // not UTF-8"), or empty.
  std::string nameFault;
};

using ContentItems = std::vector<ContentItem>;

// "Europe/Norway/Vestland/Bergen (record 4)".
std::string itemPath(const ContentItem& item);

// Whether the item's position is on the globe (latitude within ±90,
// longitude within ±180; false for NaN).
bool onGlobe(const ContentItem& item);

// Whether the item lies at exactly 0, 0.
bool atNullIsland(const ContentItem& item);

// "235 m" below a kilometre, "1.2 km" above.
std::string metresText(double metres);

// The geodesic distance (WGS84) between two items' positions in metres.
double metresBetween(const ContentItem& a, const ContentItem& b);

// One kind of finding, counted, with its examples ranked most suspicious
// first: by the rank each was added with, higher first, then in the order
// they were added. Keeps at most kKept examples (the highest ranked); the
// count covers them all.
class RankedFinding {
 public:
  static constexpr std::size_t kKept = 1000;

  void add(std::string example, double rank = 0.0);
  long count() const { return count_; }

  // Adds a finding of kind (a fault unless said) with the count and
  // examples (text: one for a single example, many for more, each after the
  // count), or okText as ok when nothing was added (nothing for an empty
  // okText).
  void report(std::vector<Finding>* findings, const std::string& one, const std::string& many,
              const std::string& okText, Finding::Kind kind = Finding::kFault);

 private:
  struct Example {
    double rank;
    long order;
    std::string text;
  };
  void prune();

  long count_ = 0;
  std::vector<Example> examples_;
};

}  // namespace metdb

#endif  // METDB_TOOL_DATABASE_CONTENTITEMS_H_
