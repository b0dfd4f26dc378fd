#ifndef METDB_TOOL_PLACES_CONTINENTS_H_
#define METDB_TOOL_PLACES_CONTINENTS_H_

#include <string>
#include <vector>

namespace metdb {

// The continents under which the database files countries, as it writes
// them: Africa, Antarctica, Asia, Europe, North America, Oceania, South
// America (each at most 20 bytes, what the record holds). Central America
// and the Caribbean are in North America.
const std::vector<std::string>& continents();

// The continent named name, ignoring ASCII case, as continents() writes
// it; null for any other name.
const std::string* findContinent(const std::string& name);

}  // namespace metdb

#endif  // METDB_TOOL_PLACES_CONTINENTS_H_
