#ifndef METDB_TOOL_RECORD_RECORDFAULTS_H_
#define METDB_TOOL_RECORD_RECORDFAULTS_H_

#include <string>

#include "datafile/LocationData.h"

namespace metdb {

// What can be wrong with a single record, whatever the database around it.
enum class RecordFault {
  kNone,
  // A name field (name, state, country, continent) holds a control byte
  // before its end: a line break there would break the directory file.
  kControlByte,
  // A name field has no terminating NUL within its bytes.
  kUnterminated,
  // The name, country or continent is empty.
  kEmptyName,
  // The latitude is not a number within -90..90, or the longitude not one
  // within -360..360 (some lists count longitudes 0..360 east).
  kImpossiblePosition,
};

// The first fault of record, in the order above; kNone for a sound record.
RecordFault findRecordFault(const LocationData& record);

// The fault as a phrase without a period, e.g. "its state holds a control
// byte"; the field at fault is named.
std::string describeRecordFault(const LocationData& record, RecordFault fault);

}  // namespace metdb

#endif  // METDB_TOOL_RECORD_RECORDFAULTS_H_
