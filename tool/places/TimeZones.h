#ifndef METDB_TOOL_PLACES_TIMEZONES_H_
#define METDB_TOOL_PLACES_TIMEZONES_H_

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace metdb {

// The IANA time zone of a position, and the countries and canonical names
// of zones, from the project's data (data/tz/: timezone-boundary-builder's
// zones as a quadtree, tzdata's zone tables; data/tz/README.md gives their
// sources, licences and format). The quadtree is coarse away from where
// people live: near a border far from towns it may give the neighbour's
// zone.
class TimeZones {
 public:
  // Reads timezones.bin and zones.tsv of folder. Throws Error naming the
  // file when one cannot be read or is damaged (what is wrong, and for the
  // table the line's number).
  static TimeZones read(const std::string& folder);

  // The data of the data folder (dataFolder()/tz/), read on first use and
  // kept for the life of the process; safe to call from several threads.
  // Throws as read() does.
  static const TimeZones& standard();

  // The zone at a position in degrees ("Europe/Zurich"); at sea, where the
  // data gives the nautical zones, "Etc/GMT+10" and the like; at the north
  // pole "Etc/GMT". Empty for a latitude outside -90..90, a longitude
  // outside -180..180, or NaN. The reference lives as long as this object.
  const std::string& zoneAt(double latitude, double longitude) const;

  // Whether the country with the ISO 3166-1 alpha-2 code iso2 (any letter
  // case) uses zone, by tzdata's zone.tab and zone1970.tab: a zone several
  // countries share (zone1970.tab's "Europe/Zurich" for CH, DE and LI) is
  // each one's, and an old name (a link, "Asia/Calcutta") is its target's
  // countries'. False for an unknown zone and for the nautical "Etc/" zones,
  // which are no country's.
  bool isOfCountry(const std::string& zone, const std::string& iso2) const;

  // The zone a name stands for in tzdata: itself for a zone, the target of a
  // link ("Asia/Calcutta" -> "Asia/Kolkata"); empty for a name that tzdata
  // does not know.
  std::string canonical(const std::string& zone) const;

  // The countries (ISO 3166-1 alpha-2, upper case) that use zone, a link
  // counting as its target; empty for an unknown zone and for a zone that
  // is no country's ("Etc/GMT+10", "CET", "UTC").
  const std::vector<std::string>& countriesOf(const std::string& zone) const;

  // The canonical zones that the country with the code iso2 (any letter
  // case) uses, sorted; empty for a code that tzdata gives no zone.
  const std::vector<std::string>& zonesOf(const std::string& iso2) const;

 private:
  struct Zone {
    std::string canonical;
    std::vector<std::string> countries;
  };
  std::uint32_t columns_ = 0, rows_ = 0;
  std::vector<std::string> names_;    // the quadtree's zones by number
  std::vector<std::uint16_t> cells_;  // root tiles, then four per inner node
  std::unordered_map<std::string, Zone> zones_;
  std::unordered_map<std::string, std::vector<std::string>> byCountry_;
};

// TimeZones::standard().zoneAt() as a value: "" where no zone is known.
// Throws Error when the data cannot be read.
std::string timeZoneAt(double latitude, double longitude);

// TimeZones::standard().isOfCountry(). Throws Error when the data cannot be
// read.
bool isTimeZoneOfCountry(const std::string& zone, const std::string& iso2);

// TimeZones::standard().canonical(). Throws Error when the data cannot be
// read.
std::string canonicalTimeZone(const std::string& zone);

}  // namespace metdb

#endif  // METDB_TOOL_PLACES_TIMEZONES_H_
