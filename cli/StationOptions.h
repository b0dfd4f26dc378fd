#ifndef METDB_CLI_STATIONOPTIONS_H_
#define METDB_CLI_STATIONOPTIONS_H_

#include <string>
#include <vector>

#include "datafile/StationInfo.h"

namespace CLI {
class App;
}  // namespace CLI

namespace metdb {

// The options of add and set that give a location's station information:
// --add-id SCHEME:VALUE and --remove-id SCHEME:VALUE (repeatable),
// --elevation METRES, --timezone ZONE, --active-from DATE, --active-to DATE
// and --source TEXT; an empty value ("") makes a field unknown again.
// Values are checked when the command line is parsed.
class StationOptions {
 public:
  void addOptions(CLI::App* command);
  // Whether any of the options was given.
  bool anyGiven() const;
  // info with the options applied.
  StationInfo applyTo(StationInfo info) const;

 private:
  std::vector<std::string> addIds_;
  std::vector<std::string> removeIds_;
  std::vector<std::pair<std::string, std::string>> fields_;  // column, value as given
};

}  // namespace metdb

#endif  // METDB_CLI_STATIONOPTIONS_H_
