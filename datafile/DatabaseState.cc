#include "datafile/DatabaseState.h"

#include <algorithm>
#include <map>

#include "directory/Directory.h"

namespace {

std::map<const BMTFile*, DatabaseState>& states() {
  static auto* table = new std::map<const BMTFile*, DatabaseState>;  // usable at unload
  return *table;
}

}  // namespace

DatabaseState& stateOf(const BMTFile* db) { return states()[db]; }

void forgetState(const BMTFile* db) { states().erase(db); }

std::vector<long> recordIndices(const Directory& directory) {
  std::vector<long> indices;
  TISArrayAsVector<Location>* list = directory.locList;
  indices.reserve(list->count());
  for (unsigned i = 0; i < list->count(); ++i) indices.push_back((*list)[i]->locationIndex);
  std::sort(indices.begin(), indices.end());
  return indices;
}

std::string directoryPath(const Directory& directory) {
  if (!directory.fileName.empty() && directory.fileName[0] == '/') return directory.fileName;
  return directory.homePath() + "/" + directory.fileName;
}
