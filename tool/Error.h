#ifndef METDB_TOOL_ERROR_H_
#define METDB_TOOL_ERROR_H_

#include <stdexcept>
#include <string>

namespace metdb {

// The failure of an operation of the tool's library: what() is one
// sentence, ending in a period, that names the file, record or value at
// fault and the cause, ready to show to a person. Operations that throw it
// leave the database as it was unless their contract says otherwise.
class Error : public std::runtime_error {
 public:
  // What kind of failure it is, for front ends that tell them apart (the
  // Python module's exception classes) without reading the sentence, which
  // says the rest.
  enum class Cause {
    kOther,
    kNotFound,  // no such database, location, record or file
    kBusy,      // another process held the database for longer than the wait
    kBadInput,  // a value, name, path, filter, option or list that is wrong
    kReadOnly,  // a change asked where only reading is allowed
    kDamaged,   // a file that should be the project's own is not what it must be
    kSystem,    // the operating system refused (the sentence gives its reason)
  };

  explicit Error(const std::string& sentence, Cause cause = Cause::kOther)
      : std::runtime_error(sentence), cause_(cause) {}

  Cause cause() const { return cause_; }

 private:
  Cause cause_;
};

// The failure a front end reports when the library throws the database
// itself (a record could not be read: the data file cannot be opened any
// more), given the data file's name.
Error lostDataFile(const std::string& dataFile);

}  // namespace metdb

#endif  // METDB_TOOL_ERROR_H_
