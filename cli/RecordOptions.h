#ifndef METDB_CLI_RECORDOPTIONS_H_
#define METDB_CLI_RECORDOPTIONS_H_

#include <string>
#include <vector>

#include "datafile/LocationData.h"

namespace CLI {
class App;
class Option;
}  // namespace CLI

namespace metdb {

// The options that give a record's fields on the command line (add, set):
// --name, --state, --country, --continent, --level, --latitude,
// --longitude, --aux-value and --series-a .. --series-e (twelve values
// separated by commas). Each value is checked as the station list checks
// it (the same ranges and number syntax), when the command line is parsed,
// so a bad value is a usage error naming its option.
class RecordOptions {
 public:
  // Registers the options on command. With required set, --name,
  // --country, --continent, --latitude and --longitude must be given.
  void addOptions(CLI::App* command, bool required);

  // Whether any of the options was given.
  bool anyGiven() const;

  // Copies base into *record and applies the options given. Names longer
  // than their fields are cut at a UTF-8 character boundary, and each cut is
  // described in *warnings (sentences naming the option). Returns false with
  // *error set only when the resulting record is not a valid station (such
  // as an empty name kept from base).
  bool apply(const LocationData& base, LocationData* record, std::vector<std::string>* warnings,
             std::string* error) const;

 private:
  struct Field {
    std::string option;  // "--name"
    std::string column;  // the station list's column, "name"; "seriesA" for a series
    bool series = false;
    std::string value;
    CLI::Option* registered = nullptr;
  };
  std::vector<Field> fields_;
};

}  // namespace metdb

#endif  // METDB_CLI_RECORDOPTIONS_H_
