#include "tool/database/ContentCheck.h"

#include <cmath>

#include "tool/CheckPoint.h"
#include "tool/Progress.h"
#include "tool/database/ContentChecks.h"
#include "tool/database/DirectoryWalk.h"
#include "tool/database/StationCheck.h"
#include "tool/record/RecordFaults.h"
#include "tool/record/RecordPosition.h"
#include "tool/text/SearchKey.h"
#include "tool/text/Text.h"
#include "tool/text/Utf8.h"

namespace metdb {

namespace {

// The checks, in the order their findings are shown. A new check is a
// function of ContentChecks.h and a row here.
const ContentCheckFunction kChecks[] = {
    checkExactDuplicates, checkNearDuplicates, checkPositionsOnGlobe, checkNullIsland,
    checkCountries,       checkNames,          checkLevels,
};

std::string nameFault(const LocationData& r) {
  if (findRecordFault(r) == RecordFault::kControlByte) {
    return describeRecordFault(r, RecordFault::kControlByte);
  }
  const std::pair<const char*, std::string> names[] = {{"name", fieldText(r.name)},
                                                       {"state", fieldText(r.state)},
                                                       {"country", fieldText(r.country)},
                                                       {"continent", fieldText(r.continent)}};
  for (const auto& n : names) {
    if (text::findInvalidUtf8(n.second) != std::string::npos) {
      return std::string("its ") + n.first + " holds bytes that are not UTF-8";
    }
  }
  return std::string();
}

ContentItems readItems(Database& access) {
  BMTFile* db = access.db();
  ContentItems items;
  items.reserve(static_cast<std::size_t>(db->directory->locationCount));
  BMTFile::BulkRead reading(*db);
  Progress progress("Reading records", db->directory->locationCount);
  forEachLocation(db->directory, [&](Continent* c, Country* k, State* s, Location* l) {
    checkPoint();
    progress.advance();
    LocationData r;
    db->getLocationData(l->locationIndex, r);
    RecordPosition p(r);
    ContentItem item{c, k, s, l, p.latitude, p.longitude, r.level, 0, 0, nameFault(r)};
    item.nameHash = std::hash<std::string>()(searchKey(*l));
    std::string key = text::foldCase(*c) + '\n' + text::foldCase(*k) + '\n' + text::foldCase(*s) +
                      '\n' + text::foldCase(*l);
    key.append(reinterpret_cast<const char*>(&item.latitude), sizeof(float));
    key.append(reinterpret_cast<const char*>(&item.longitude), sizeof(float));
    key.push_back(static_cast<char>(item.level));
    item.exactHash = std::hash<std::string>()(key);
    items.push_back(std::move(item));
  });
  return items;
}

}  // namespace

std::vector<Finding> checkContent(Database& access, const ContentCheckOptions& options) {
  ContentItems items = readItems(access);
  std::vector<Finding> findings;
  for (ContentCheckFunction check : kChecks) check(items, options, &findings);
  for (Finding& f : checkStationContent(access, stationChecks())) findings.push_back(std::move(f));
  return findings;
}

}  // namespace metdb
