#include "tool/places/LocationTimeZone.h"

#include "tool/places/CountryCodes.h"
#include "tool/places/TimeZones.h"

namespace metdb {

LocationTimeZone::LocationTimeZone()
    : zones_(TimeZones::standard()), countries_(CountryCodes::standard()) {}

std::string LocationTimeZone::of(double latitude, double longitude, const std::string& country) {
  if (latitude == 0.0 && longitude == 0.0) return "";
  const std::string& zone = zones_.zoneAt(latitude, longitude);
  if (zone.empty()) return "";
  auto known = iso2_.find(country);
  if (known == iso2_.end()) {
    const Country* c = countries_.find(CountryCodes::Kind::kName, country);
    known = iso2_.emplace(country, c != nullptr ? c->iso2 : std::string()).first;
  }
  const std::string& iso2 = known->second;
  if (iso2.empty() || zones_.isOfCountry(zone, iso2)) return zone;
  const std::vector<std::string>& own = zones_.zonesOf(iso2);
  if (own.size() == 1) return own.front();
  if (zone.compare(0, 4, "Etc/") == 0) return zone;
  return "";
}

}  // namespace metdb
