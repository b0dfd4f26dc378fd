#ifndef METDB_TOOL_DATABASE_LOCATIONPATH_H_
#define METDB_TOOL_DATABASE_LOCATIONPATH_H_

#include <string>
#include <vector>

#include "datafile/BMTFile.h"
#include "datafile/LocationData.h"
#include "directory/Directory.h"

namespace metdb {

// A place in the hierarchy written CONTINENT/COUNTRY/STATE/NAME, or a
// shorter prefix of it (CONTINENT, CONTINENT/COUNTRY, ...). Names match
// ignoring case. The state may be empty ("Europe/Monaco//Monaco"), the
// other parts may not. A name that holds "/" cannot be written this way;
// such a location is reached by its record index.
struct LocationPath {
  std::vector<std::string> parts;  // 1 to 4

  // Parses text. Throws Error when it has more than four parts or an empty
  // part other than the state.
  static LocationPath parse(const std::string& text);
  // The same for checks that must not throw (an argument's check at
  // parsing): returns false, with *why set to a phrase without a period,
  // where parse throws.
  static bool tryParse(const std::string& text, LocationPath* path, std::string* why);

  // The parts joined with "/".
  std::string toString() const;

  // Every location of directory under this path, in walk order: for a full
  // path the locations of that name in that state, for a shorter one all
  // locations of the group. Groups that occur more than once are all
  // searched.
  std::vector<Location*> find(Directory* directory) const;
};

// "CONTINENT/COUNTRY/STATE/NAME" of a record.
std::string recordPath(const LocationData& record);
// The first levels parts (1 to 4) of it: "CONTINENT/COUNTRY" for 2.
std::string recordPath(const LocationData& record, std::size_t levels);

// Whether text is a record index (decimal digits only); sets *index.
bool parseRecordIndex(const std::string& text, long* index);

// Whether text names locations by an identifier, SCHEME:VALUE ("wmo:41194",
// "ICAO:ENTC"): a scheme of letters, digits and '-', a colon, and no '/'.
bool isIdentifierText(const std::string& text);

// The locations that text names, in walk order: those holding the
// identifier (isIdentifierText; the scheme ignoring case, the value
// exactly), else those under the path. Throws Error as LocationPath::parse
// does.
std::vector<Location*> findLocations(BMTFile& db, const std::string& text);

// The check of an argument that names locations by a record index, an
// identifier or a path: "" when text is an index, an identifier or a path
// (a full one, CONTINENT/COUNTRY/STATE/NAME, when wholePath is set), else
// what is wrong as a phrase without a period.
std::string checkIndexOrPath(const std::string& text, bool wholePath);

}  // namespace metdb

#endif  // METDB_TOOL_DATABASE_LOCATIONPATH_H_
