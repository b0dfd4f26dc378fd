#ifndef METDB_TOOL_PLACES_LOCATIONTIMEZONE_H_
#define METDB_TOOL_PLACES_LOCATIONTIMEZONE_H_

#include <string>
#include <unordered_map>

namespace metdb {

class CountryCodes;
class TimeZones;

// The time zone a location gets from its position where its list gives
// none: the zone of the position (TimeZones::zoneAt), held against the
// location's country so that the coarse grid's neighbour zone near a border
// is not taken for the location's own.
//   - none at exactly 0, 0 (a lost position, not a place) or off the globe;
//   - the position's zone when it is a zone of the country, or when the
//     country is none the table knows;
//   - else the country's one zone when it has a single one (a town near a
//     border, a coast the grid gives to the sea);
//   - else a nautical zone ("Etc/GMT-3") as the sea's, and none for another
//     country's zone: missing stays missing rather than wrong.
// Keeps what it learnt of country names: one object for a whole list.
class LocationTimeZone {
 public:
  // Uses the standard data (TimeZones::standard(), CountryCodes::standard()).
  // Throws Error when they cannot be read.
  LocationTimeZone();

  // The zone for a location at latitude, longitude in degrees whose country
  // is named country (as the database stores it); "" when it gets none.
  std::string of(double latitude, double longitude, const std::string& country);

 private:
  const TimeZones& zones_;
  const CountryCodes& countries_;
  std::unordered_map<std::string, std::string> iso2_;  // country name -> code, "" unknown
};

}  // namespace metdb

#endif  // METDB_TOOL_PLACES_LOCATIONTIMEZONE_H_
