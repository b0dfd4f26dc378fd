#include "tool/database/RecordReplacement.h"

#include <algorithm>
#include <memory>
#include <unordered_map>
#include <unordered_set>

#include "datafile/BMTFile.h"
#include "datafile/StationFile.h"
#include "platform/Env.h"
#include "tool/CheckPoint.h"
#include "tool/Error.h"
#include "tool/database/Compaction.h"
#include "tool/database/DatabaseImport.h"
#include "tool/database/DirectoryStats.h"
#include "tool/database/DirectoryWalk.h"
#include "tool/database/LocationPath.h"
#include "tool/database/RecordMatch.h"
#include "tool/database/ScratchFolder.h"
#include "tool/record/NameField.h"
#include "tool/text/Text.h"

namespace metdb {

namespace {

// The names of a record folded as the directory compares them, each level's
// key extending the one above: continent, then country, state and name,
// separated by NUL (which no name holds).
std::string extendKey(const std::string& key, const std::string& name) {
  return key + '\0' + text::foldCase(name);
}

// "Europe/Norway/Oslo/Oslo with level 1 at 59.9139,10.7522".
std::string describePlace(const LocationData& r) {
  return recordPath(r) + " with level " + std::to_string(r.level) + " at " +
         text::shortestFloat(r.latitude) + "," + text::shortestFloat(r.longitude);
}

// The order in which an import pairs records (by continent, country, state
// and name ignoring ASCII case, then the lower level, latitude, longitude
// first), so that records added in it keep each group of a directory in
// one piece.
bool importsBefore(const LocationData& a, const LocationData& b) {
  const std::string names[2][4] = {
      {fieldText(a.continent), fieldText(a.country), fieldText(a.state), fieldText(a.name)},
      {fieldText(b.continent), fieldText(b.country), fieldText(b.state), fieldText(b.name)}};
  for (int level = 0; level < 4; ++level) {
    int c = text::compareIgnoringCase(names[0][level], names[1][level]);
    if (c != 0) return c < 0;
  }
  if (a.level != b.level) return a.level < b.level;
  float alat = a.latitude, blat = b.latitude, alon = a.longitude, blon = b.longitude;
  if (alat != blat) return alat < blat;
  return alon < blon;
}

// Looks, in one walk of the directory, for the location of every record
// index replaced, and for locations that stay and equal a new record.
class ReplacementChecker : public DirectoryVisitor {
 public:
  ReplacementChecker(BMTFile* db, const std::vector<RecordReplacement::Replacement>& replacements)
      : db_(db), replacements_(replacements), found_(replacements.size(), false) {
    for (std::size_t i = 0; i < replacements.size(); ++i) {
      long index = replacements[i].first;
      if (!byIndex_.emplace(index, i).second) {
        throw Error(
            "Record " + std::to_string(index) + " is to be replaced twice; nothing was changed.",
            Error::Cause::kBadInput);
      }
      const LocationData& r = replacements[i].second;
      std::string state =
          extendKey(extendKey(text::foldCase(fieldText(r.continent)), fieldText(r.country)),
                    fieldText(r.state));
      states_.insert(state);
      std::vector<std::size_t>& same = byNames_[extendKey(state, fieldText(r.name))];
      for (std::size_t j : same) {
        // Two records that were exact duplicates already (kept on purpose,
        // or added by a host) stay as they were: one edit of both does not
        // make them any more alike.
        if (samePlace(replacements[j].second, r) && !alreadyAlike(replacements[j].first, index)) {
          throw Error("Records " + std::to_string(replacements[j].first) + " and " +
                          std::to_string(index) + " would both become " + describePlace(r) +
                          "; nothing was changed.",
                      Error::Cause::kBadInput);
        }
      }
      same.push_back(i);
    }
  }

  // Whether the stored records at indices a and b are exact duplicates:
  // the same names ignoring case, level and position.
  bool alreadyAlike(long a, long b) const {
    LocationData first{}, second{};
    db_->getLocationData(a, first);
    db_->getLocationData(b, second);
    return text::equalIgnoringCase(recordPath(first), recordPath(second)) &&
           samePlace(first, second);
  }

  bool enterContinent(Continent* c) override {
    continent_ = text::foldCase(*c);
    return true;
  }
  bool enterCountry(Continent*, Country* k) override {
    country_ = extendKey(continent_, *k);
    return true;
  }
  bool enterState(Continent*, Country*, State* s) override {
    state_ = extendKey(country_, *s);
    candidateState_ = states_.count(state_) > 0;
    return true;
  }
  bool visitLocation(Continent*, Country*, State*, Location* loc) override {
    checkPoint();
    auto replaced = byIndex_.find(loc->locationIndex);
    if (replaced != byIndex_.end()) {
      found_[replaced->second] = true;
      return true;
    }
    if (!candidateState_) return true;
    auto same = byNames_.find(extendKey(state_, *loc));
    if (same == byNames_.end()) return true;
    // The directory's coordinates may be rounded, so the record decides.
    bool read = false;
    LocationData stored;
    for (std::size_t i : same->second) {
      const LocationData& r = replacements_[i].second;
      if (loc->level != r.level || !roundsAlike(loc->latitude, r.latitude) ||
          !roundsAlike(loc->longitude, r.longitude)) {
        continue;
      }
      if (!read) {
        db_->getLocationData(loc->locationIndex, stored);
        read = true;
      }
      if (text::equalIgnoringCase(fieldText(stored.name), fieldText(r.name)) &&
          samePlace(stored, r)) {
        throw Error("Record " + std::to_string(replacements_[i].first) + " would become " +
                        describePlace(r) + ", which record " + std::to_string(loc->locationIndex) +
                        " is already; nothing was changed.",
                    Error::Cause::kBadInput);
      }
    }
    return true;
  }

  // Throws unless every replaced index had its location.
  void checkAllFound() const {
    for (std::size_t i = 0; i < found_.size(); ++i) {
      if (!found_[i]) {
        throw Error("No location refers to record " + std::to_string(replacements_[i].first) +
                        "; nothing was changed.",
                    Error::Cause::kNotFound);
      }
    }
  }

 private:
  BMTFile* db_;
  const std::vector<RecordReplacement::Replacement>& replacements_;
  std::vector<bool> found_;
  std::unordered_map<long, std::size_t> byIndex_;
  std::unordered_set<std::string> states_;
  std::unordered_map<std::string, std::vector<std::size_t>> byNames_;
  std::string continent_, country_, state_;
  bool candidateState_ = false;
};

}  // namespace

void RecordReplacement::check(const std::vector<Replacement>& replacements) const {
  ReplacementChecker checker(access_.db(), replacements);
  walkDirectory(access_.db()->directory, checker);
  checker.checkAllFound();
}

void RecordReplacement::replaceAll(const std::vector<Replacement>& replacements, ProgressInfo& info,
                                   const std::map<long, StationInfo>& stations) {
  if (replacements.empty()) return;
  check(replacements);
  BMTFile* db = access_.db();
  Directory* original = db->directory;
  // Each new record's station information, by the new record: its
  // location's, or the one given.
  std::map<const LocationData*, StationInfo> infoOf;
  {
    StationFile current(*db);
    for (const Replacement& r : replacements) {
      auto given = stations.find(r.first);
      const StationInfo* had = current.find(r.first);
      if (given != stations.end()) {
        infoOf[&r.second] = given->second;
      } else if (had != nullptr) {
        infoOf[&r.second] = *had;
      }
    }
  }

  // The new records, as a database of their own in import order, which the
  // import then merges with the rest.
  ScratchFolder scratch(platform::Env::current()->tempFolder());
  if (!scratch.ok()) {
    throw Error("Cannot prepare the new records: " + scratch.error() + "; nothing was changed.",
                Error::Cause::kSystem);
  }
  std::vector<const LocationData*> ordered;
  ordered.reserve(replacements.size());
  for (const Replacement& r : replacements) ordered.push_back(&r.second);
  std::stable_sort(
      ordered.begin(), ordered.end(),
      [](const LocationData* a, const LocationData* b) { return importsBefore(*a, *b); });
  BMTFile source(scratch.file("new.bmt").c_str());
  LocationData previous{};
  for (const LocationData* r : ordered) {
    checkPoint();
    LocationData copy = *r;
    long index = source.IsValid() ? source.addLocationData(copy) : -1;
    if (index < 0) {
      throw Error("Cannot prepare the new records in \"" + scratch.path() +
                      "\": " + Database::libraryReasonOrUnknown() + "; nothing was changed.",
                  Error::Cause::kSystem);
    }
    source.directory->addOrderedEntry(copy, previous, index);
  }
  if (!infoOf.empty()) {
    StationFile sourceStations(source);
    for (std::size_t i = 0; i < ordered.size(); ++i) {
      auto it = infoOf.find(ordered[i]);
      if (it != infoOf.end()) sourceStations.set(static_cast<long>(i), it->second);
    }
    if (!sourceStations.save()) {
      throw Error("Cannot prepare the new records in \"" + scratch.path() +
                      "\": " + Database::libraryReasonOrUnknown() + "; nothing was changed.",
                  Error::Cause::kSystem);
    }
  }

  // The directory without the replaced locations, built afresh (deleting
  // them one by one would shift the location list once per location); the
  // import writes only the records of the locations it walks, so the
  // replaced records go.
  std::unordered_set<long> replaced;
  for (const Replacement& r : replacements) replaced.insert(r.first);
  std::unique_ptr<Directory> kept(new Directory(original->fileName.c_str()));
  LocationData entry{};
  LocationData last{};
  forEachLocation(original, [&](Continent* c, Country* k, State* s, Location* l) {
    checkPoint();
    if (replaced.count(l->locationIndex)) return;
    setNameField(entry.continent, *c);
    setNameField(entry.country, *k);
    setNameField(entry.state, *s);
    setNameField(entry.name, *l);
    entry.level = l->level;
    entry.latitude = l->latitude;
    entry.longitude = l->longitude;
    kept->addOrderedEntry(entry, last, l->locationIndex);
  });

  Directory* keptDirectory = kept.release();
  db->directory = keptDirectory;
  try {
    info.expect(keptDirectory->locationCount + source.directory->locationCount);
    DatabaseImport(access_).merge(source, false, info, "the new file did not come out as written",
                                  "nothing was changed");
  } catch (...) {
    if (db->directory == keptDirectory) {
      // The import changed nothing: the database takes its directory back.
      db->directory = original;
      delete keptDirectory;
      access_.discardEdits();
    } else {
      delete original;  // the new data file is in place; its directory was not saved
    }
    throw;
  }
  delete original;
  source.directory->changed = false;  // the scratch folder goes, with the file it would save
  // The import writes the groups in the order it walks them; only a
  // directory that held a group twice (a file split by a host's appends)
  // can leave one split.
  if (!DirectoryStats::of(db->directory).duplicateGroups.empty())
    Compaction(access_).compactAndRegroup();
}

}  // namespace metdb
