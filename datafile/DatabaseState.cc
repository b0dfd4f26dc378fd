#include "datafile/DatabaseState.h"

#include <map>

#include "directory/Directory.h"

namespace {

// Made with the first database's state and freed with the last, so that it
// neither depends on the order of destruction when the library is unloaded
// nor outlives it.
using StateTable = std::map<const BMTFile*, DatabaseState>;
StateTable* states = nullptr;

}  // namespace

DatabaseState& stateOf(const BMTFile* db) {
  if (states == nullptr) states = new StateTable;
  return (*states)[db];
}

void forgetState(const BMTFile* db) {
  if (states == nullptr) return;
  states->erase(db);
  if (states->empty()) {
    delete states;
    states = nullptr;
  }
}

RecordIndexSet recordIndices(const Directory& directory) {
  RecordIndexSet indices;
  directory.locList->forEachUnordered([&](const Location* l) { indices.insert(l->locationIndex); });
  return indices;
}

std::string directoryPath(const Directory& directory) {
  if (!directory.fileName.empty() && directory.fileName[0] == '/') return directory.fileName;
  return directory.homePath() + "/" + directory.fileName;
}
