#ifndef METDB_CLI_RECORDOPTIONS_H_
#define METDB_CLI_RECORDOPTIONS_H_

#include <string>
#include <vector>

#include "datafile/LocationData.h"
#include "tool/record/FieldAssignment.h"
#include "tool/record/Fields.h"

namespace CLI {
class App;
class Option;
}  // namespace CLI

namespace metdb {

// The options that give a record's fields on the command line (add, set),
// one per field of the record (see locationFields): --name, --state,
// --country, --continent, --level, --latitude, --longitude, --aux-value and
// --series-a .. --series-e (twelve values separated by commas). Each value
// is checked by the field's own rules, the same as a station list's, when
// the command line is parsed, so a bad value is a usage error naming its
// option.
class RecordOptions {
 public:
  // Registers the options on command. With required set, the fields a new
  // location must be given (--name, --country, --continent, --latitude,
  // --longitude) are required. An option that command has already (set's
  // filters --continent, --country, --state, --name) is shared: this object
  // reads the value given to it, and checks it only when applying.
  void addOptions(CLI::App* command, bool required);

  // Whether any of the options was given.
  bool anyGiven() const;
  // The field of the first option given that this object registered
  // itself (not a shared one), such as --level; null when none.
  const Field* firstOwnGiven() const;
  // The options given as assignments, in field order (values unchecked for
  // shared options).
  std::vector<FieldAssignment> assignments() const;

  // Copies base into *record and applies the options given. Names longer
  // than their fields are cut at a UTF-8 character boundary, and each cut is
  // described in *warnings (sentences naming the option). Returns false with
  // *error set (naming the option or field) only when the resulting record
  // is not a valid station (such as an empty name kept from base).
  bool apply(const LocationData& base, LocationData* record, std::vector<std::string>* warnings,
             std::string* error) const;

 private:
  struct Given {
    const Field* field;
    std::string value;
    CLI::Option* registered = nullptr;
    bool shared = false;
  };
  static std::string value(const Given& g);
  std::vector<Given> given_;
};

}  // namespace metdb

#endif  // METDB_CLI_RECORDOPTIONS_H_
