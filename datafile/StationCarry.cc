#include "datafile/StationCarry.h"

#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "datafile/BMTFile.h"

int StationCarry::add(MetDatabase& db) {
  BMTFile* file = dynamic_cast<BMTFile*>(&db);
  if (file == nullptr) return -1;
  std::unique_ptr<StationFile> stations(new StationFile(*file));
  if (!stations->exists()) return -1;
  pending_.push_back(stations->entries());
  files_.push_back(std::move(stations));
  return static_cast<int>(files_.size()) - 1;
}

void StationCarry::note(int from, long oldIndex, const LocationData& record, long newIndex) {
  std::uint64_t print = StationFile::fingerprint(record);
  if (prints_.size() <= static_cast<std::size_t>(newIndex)) {
    prints_.resize(static_cast<std::size_t>(newIndex) + 1, 0);
  }
  prints_[static_cast<std::size_t>(newIndex)] = print;
  if (from < 0 || static_cast<std::size_t>(from) >= pending_.size()) return;
  std::map<long, StationFile::Entry>& pending = pending_[static_cast<std::size_t>(from)];
  auto it = pending.find(oldIndex);
  if (it == pending.end() || it->second.fingerprint != print) return;
  auto at = carried_.find(newIndex);
  if (at == carried_.end()) {
    StationFile::Entry& e = carried_[newIndex];
    e = std::move(it->second);
    e.index = newIndex;
  } else {
    at->second.info.mergeFrom(it->second.info);
  }
  pending.erase(it);
}

std::string StationCarry::finish(int replaced, std::string* final) {
  // The replaced database's entries of records that no longer exist, kept
  // for its old data file (see the header).
  std::map<long, StationFile::Entry> kept;
  if (replaced >= 0 && static_cast<std::size_t>(replaced) < pending_.size()) {
    std::unordered_set<std::uint64_t> present(prints_.begin(), prints_.end());
    long next = static_cast<long>(prints_.size());
    for (const auto& e : pending_[static_cast<std::size_t>(replaced)]) {
      if (present.count(e.second.fingerprint)) continue;
      StationFile::Entry& entry = kept[next];
      entry = e.second;
      entry.index = next++;
    }
  }

  // Entries left over: either their record was dropped (a deleted
  // location), or the station file missed a change of the data file.
  // Those of a fingerprint that one new record alone has go to it, unless
  // it has an entry already.
  std::unordered_map<std::uint64_t, long> wanted;
  for (const auto& pending : pending_) {
    for (const auto& e : pending) wanted.emplace(e.second.fingerprint, -1);
  }
  if (!wanted.empty()) {
    for (std::size_t i = 0; i < prints_.size(); ++i) {
      auto w = wanted.find(prints_[i]);
      if (w != wanted.end()) w->second = w->second == -1 ? static_cast<long>(i) : -2;
    }
    for (auto& pending : pending_) {
      for (auto& e : pending) {
        long to = wanted[e.second.fingerprint];
        if (to < 0 || carried_.count(to) != 0) continue;
        StationFile::Entry& entry = carried_[to];
        entry = std::move(e.second);
        entry.index = to;
      }
    }
  }
  std::string text = StationFile::render(carried_);
  if (final != nullptr) *final = text;
  if (kept.empty()) return text;
  carried_.insert(kept.begin(), kept.end());
  return StationFile::render(carried_);
}
