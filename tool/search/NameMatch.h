#ifndef METDB_TOOL_SEARCH_NAMEMATCH_H_
#define METDB_TOOL_SEARCH_NAMEMATCH_H_

#include <string>
#include <string_view>
#include <vector>

namespace metdb {

// How well a name's search key matches a query's, from best to worst.
enum class MatchKind {
  kExact,       // the keys are equal
  kPrefix,      // the name begins with the query
  kWordPrefix,  // a later word of the name begins with the query
  kSubstring,   // the query lies inside the name
  kNearMiss,    // the name, or a word of it, begins with the query but for
                // one or two typing errors
  kNone,
};

struct NameMatch {
  MatchKind kind = MatchKind::kNone;
  // Typing errors of a near miss (a letter left out, added, changed, or two
  // neighbours swapped count one each); 0 otherwise.
  int errors = 0;

  bool found() const { return kind != MatchKind::kNone; }
  // Whether this match ranks before other.
  bool before(const NameMatch& other) const {
    return kind < other.kind || (kind == other.kind && errors < other.errors);
  }
};

// The typing errors a near miss may have for a query key of length bytes:
// none below 4, one up to 7, two from 8 on (a short query with an error
// matches too much to be of use).
int allowedErrors(std::size_t length);

// Whether c belongs to a word of a search key: an ASCII letter or digit, or
// a byte of a character beyond ASCII.
bool isWordCharacter(char c);

// Matches names' search keys against one query's.
class NameMatcher {
 public:
  // query: the query's search key, not empty.
  explicit NameMatcher(std::string query);

  // How key (a name's search key) matches the query. Words begin after any
  // character that is not an ASCII letter or digit. Takes time
  // proportional to the key's length for the exact kinds, and to it times
  // the allowed errors for a near miss; allocates nothing.
  NameMatch match(std::string_view key);

 private:
  int prefixErrors(std::string_view text, std::size_t start);

  std::string query_;
  int maxErrors_;
  // Three columns of the edit distance table, reused from key to key.
  std::vector<int> twoBack_, previous_, current_;
};

// The lowercase word for kind, as find shows it: "exact", "prefix",
// "word", "substring", "near".
const char* matchKindName(MatchKind kind);

}  // namespace metdb

#endif  // METDB_TOOL_SEARCH_NAMEMATCH_H_
