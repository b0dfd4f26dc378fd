#include "tool/database/StationCheck.h"

#include <cstring>
#include <map>
#include <memory>
#include <set>

#include "datafile/StationFile.h"
#include "tool/CheckPoint.h"
#include "tool/database/DirectoryWalk.h"
#include "tool/places/CountryCodes.h"
#include "tool/places/TimeZones.h"
#include "tool/text/Text.h"

namespace metdb {

namespace {

constexpr std::size_t kKeptExamples = 1000;

bool allOf(const std::string& s, bool (*test)(char)) {
  for (char c : s) {
    if (!test(c)) return false;
  }
  return !s.empty();
}
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isUpperOrDigit(char c) { return (c >= 'A' && c <= 'Z') || isDigit(c); }

// What is wrong with an identifier of a known scheme, or "".
std::string idFault(const std::string& id) {
  std::size_t colon = id.find(':');
  std::string scheme = id.substr(0, colon);
  std::string value = id.substr(colon + 1);
  if (scheme == "wmo" && (value.size() != 5 || !allOf(value, isDigit))) {
    return id + " is no WMO station number of five digits";
  }
  if (scheme == "icao" && (value.size() != 4 || !allOf(value, isUpperOrDigit))) {
    return id + " is no ICAO code of four letters or digits";
  }
  if (scheme == "ghcn" && (value.size() != 11 || !allOf(value, isUpperOrDigit))) {
    return id + " is no GHCN-Daily ID of eleven characters";
  }
  if (scheme == "iata" && (value.size() != 3 || !allOf(value, isUpperOrDigit))) {
    return id + " is no IATA code of three letters";
  }
  return "";
}

// What is wrong with a location's time zone, if anything.
struct ZoneVerdict {
  // "" when nothing is: a name that tzdata does not know, or a zone that
  // tzdata's zone tables do not give the location's country.
  std::string why;
  // Whether the zone is the one of the location's position all the same
  // (by the time-zone boundaries): a location near a border, where the
  // list or the boundaries may be right.
  bool atPosition = false;
};

// Judges the time zone of l. An old name counts as its target; a zone of no
// country (the nautical "Etc/GMT-3", "UTC", "CET"), a country that the
// table of countries does not know and one that tzdata gives no zone
// (Kosovo) are not judged. codes keeps the country names looked up.
ZoneVerdict judgeTimeZone(const StationLocation& l, std::map<std::string, std::string>* codes) {
  const std::string& zone = l.info->timeZone;
  if (zone.empty()) return {};
  const TimeZones& zones = TimeZones::standard();
  if (zones.canonical(zone).empty()) return {zone + " is no time zone that tzdata knows"};
  if (zones.countriesOf(zone).empty()) return {};
  auto known = codes->find(l.country);
  if (known == codes->end()) {
    const Country* c = CountryCodes::standard().find(CountryCodes::Kind::kName, l.country);
    known = codes->emplace(l.country, c != nullptr ? c->iso2 : std::string()).first;
  }
  const std::string& iso2 = known->second;
  if (iso2.empty() || zones.isOfCountry(zone, iso2)) return {};
  const std::vector<std::string>& own = zones.zonesOf(iso2);
  if (own.empty()) return {};
  ZoneVerdict verdict;
  verdict.why = zone + " is no zone of " + l.country;
  // A country of many zones is named by a few; the rest are counted.
  constexpr std::size_t kShown = 3;
  verdict.why += " (" + std::string(own.size() == 1 ? "its zone: " : "its zones: ");
  for (std::size_t i = 0; i < own.size() && i < kShown; ++i) {
    verdict.why += (i > 0 ? ", " : "") + own[i];
  }
  if (own.size() > kShown) verdict.why += " and " + std::to_string(own.size() - kShown) + " more";
  verdict.why += ")";
  const std::string& there = zones.zoneAt(l.record->latitude, l.record->longitude);
  verdict.atPosition = !there.empty() && zones.canonical(there) == zones.canonical(zone);
  if (verdict.atPosition) verdict.why += ", though its position lies in it";
  return verdict;
}

// One kind of finding, counted, with its first examples.
struct Tally {
  long count = 0;
  std::vector<std::string> examples;
  void add(const std::string& example) {
    ++count;
    if (examples.size() < kKeptExamples) examples.push_back(example);
  }
  void report(std::vector<Finding>* out, const char* one, const char* many, const char* ok,
              bool note = false) {
    if (count == 0) {
      out->push_back({Finding::kOk, ok, {}});
    } else {
      out->push_back({note ? Finding::kNote : Finding::kFault, text::plural(count, one, many),
                      std::move(examples)});
    }
  }
};

std::string pathOf(Continent* c, ::Country* k, State* s, Location* l) {
  return *c + "/" + *k + "/" + *s + "/" + *l + " (record " + std::to_string(l->locationIndex) + ")";
}

// Whether the years of operation of a and b overlap (an open end reaches
// any date).
bool overlap(const StationInfo& a, const StationInfo& b) {
  if (!a.activeTo.empty() && !b.activeFrom.empty() && a.activeTo < b.activeFrom) return false;
  if (!b.activeTo.empty() && !a.activeFrom.empty() && b.activeTo < a.activeFrom) return false;
  return true;
}

}  // namespace

std::vector<StationCheck> stationChecks() {
  std::vector<StationCheck> checks;
  checks.push_back({"location has a malformed identifier", "locations have malformed identifiers",
                    "every identifier of a known scheme is well formed",
                    [](const StationLocation& l) {
                      std::string all;
                      for (const std::string& id : l.info->ids) {
                        std::string why = idFault(id);
                        if (!why.empty()) all += (all.empty() ? "" : "; ") + why;
                      }
                      return all;
                    }});
  checks.push_back({"location has an elevation outside -430..8850 m",
                    "locations have elevations outside -430..8850 m",
                    "every elevation lies within -430..8850 m", [](const StationLocation& l) {
                      const StationInfo& i = *l.info;
                      if (!i.hasElevation() || (i.elevation >= -430.0 && i.elevation <= 8850.0)) {
                        return std::string();
                      }
                      return "elevation " + text::shortestFloat(static_cast<float>(i.elevation)) +
                             " m";
                    }});
  // Country names are looked up once each; the closure is called for one
  // location at a time.
  auto codes = std::make_shared<std::map<std::string, std::string>>();
  checks.push_back({"location has a time zone that is not its country's",
                    "locations have time zones that are not their countries'",
                    "every time zone is one of its country's", [codes](const StationLocation& l) {
                      ZoneVerdict v = judgeTimeZone(l, codes.get());
                      return v.atPosition ? std::string() : v.why;
                    }});
  checks.push_back(
      {"location near a border has the time zone of its position, not of its "
       "country",
       "locations near a border have the time zone of their position, not of "
       "their country",
       "no location has a neighbouring country's time zone",
       [codes](const StationLocation& l) {
         ZoneVerdict v = judgeTimeZone(l, codes.get());
         return v.atPosition ? v.why : std::string();
       },
       true});
  return checks;
}

std::vector<Finding> checkStationFile(Database& access) {
  std::vector<Finding> out;
  BMTFile* db = access.db();
  StationFile stations(*db);
  if (!stations.exists()) return out;
  const std::string repair = "; \"metdb compact\" rewrites the station file without them";
  std::size_t stored = stations.entries().size();
  if (!stations.faults().empty()) {
    out.push_back({Finding::kFault,
                   text::plural(static_cast<long>(stations.faults().size()),
                                "line of the station file does not read",
                                "lines of the station file do not read") +
                       repair,
                   stations.faults()});
  }
  // Entries past the data file's last record are those a change leaves for
  // the data file it replaced, while a power cut could still bring that
  // back; the next save drops them.
  long records = access.recordCount();
  long beyond = 0;
  for (const auto& e : stations.entries()) beyond += e.first >= records ? 1 : 0;
  StationFile::MatchReport match = stations.match();
  if (match.dropped > 0 && match.dropped <= beyond) {
    out.push_back({Finding::kNote,
                   text::plural(match.dropped, "entry of the station file lies",
                                "entries of the station file lie") +
                       " past the data file's last record, fitting no record: left for the "
                       "data file that a change replaced; the next change drops them",
                   {}});
    match.dropped = 0;
  }
  if (match.moved > 0) {
    out.push_back({Finding::kFault,
                   text::plural(match.moved, "entry of the station file names a record",
                                "entries of the station file name records") +
                       " that changed without it (another program wrote the data file); each "
                       "fits one other record, to which \"metdb compact\" moves it",
                   {}});
  }
  if (match.dropped > 0) {
    out.push_back({Finding::kFault,
                   text::plural(match.dropped, "entry of the station file fits",
                                "entries of the station file fit") +
                       " no record of the data file" + repair,
                   {}});
  }
  std::set<long> referred;
  forEachLocation(db->directory, [&](Continent*, ::Country*, State*, Location* l) {
    referred.insert(l->locationIndex);
  });
  long unreferred = 0;
  for (const auto& e : stations.entries()) {
    if (!referred.count(e.first)) ++unreferred;
  }
  if (unreferred > 0) {
    out.push_back({Finding::kNote,
                   text::plural(unreferred, "entry of the station file belongs",
                                "entries of the station file belong") +
                       " to records no location refers to (deleted); the next compaction drops "
                       "them",
                   {}});
  }
  if (out.empty() || (match.moved == 0 && match.dropped == 0 && stations.faults().empty())) {
    out.insert(out.begin(), {Finding::kOk,
                             "the station file holds " +
                                 text::plural(static_cast<long>(stored), "entry", "entries") +
                                 ", each fitting its record",
                             {}});
  }
  return out;
}

std::vector<Finding> checkStationContent(Database& access,
                                         const std::vector<StationCheck>& checks) {
  std::vector<Finding> out;
  BMTFile* db = access.db();
  StationFile stations(*db);
  if (!stations.exists()) return out;
  stations.match();
  std::vector<Tally> tallies(checks.size());
  // Locations by identifier, for the identifiers held twice.
  std::map<std::string, std::vector<std::pair<std::string, const StationInfo*>>> holders;
  forEachLocation(db->directory, [&](Continent* c, ::Country* k, State* s, Location* l) {
    checkPoint();
    const StationInfo* info = stations.find(l->locationIndex);
    if (info == nullptr) return;
    LocationData record;
    std::memset(static_cast<void*>(&record), 0, sizeof record);
    db->getLocationData(l->locationIndex, record);
    StationLocation at{pathOf(c, k, s, l), *k, &record, info};
    for (std::size_t i = 0; i < checks.size(); ++i) {
      std::string why = checks[i].fault(at);
      if (!why.empty()) tallies[i].add(at.path + ": " + why);
    }
    for (const std::string& id : info->ids) holders[id].push_back({at.path, info});
  });
  Tally shared;
  for (const auto& h : holders) {
    const auto& list = h.second;
    for (std::size_t a = 0; a < list.size(); ++a) {
      for (std::size_t b = a + 1; b < list.size(); ++b) {
        if (overlap(*list[a].second, *list[b].second)) {
          shared.add(h.first + " is held by " + list[a].first + " and " + list[b].first);
        }
      }
    }
  }
  shared.report(&out, "identifier is held by two locations in operation at the same time",
                "identifiers are held by two locations in operation at the same time",
                "no identifier is held by two locations in operation at the same time");
  for (std::size_t i = 0; i < checks.size(); ++i) {
    tallies[i].report(&out, checks[i].one, checks[i].many, checks[i].ok, checks[i].note);
  }
  return out;
}

}  // namespace metdb
