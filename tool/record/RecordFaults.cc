#include "tool/record/RecordFaults.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "tool/record/RecordPosition.h"

namespace metdb {

namespace {

struct NameField {
  const char* label;
  const char* bytes;
  std::size_t size;
  bool mayBeEmpty;
};

// The four name fields in the record's order.
void nameFields(const LocationData& r, NameField (&fields)[4]) {
  fields[0] = {"name", r.name, sizeof r.name, false};
  fields[1] = {"state", r.state, sizeof r.state, true};
  fields[2] = {"country", r.country, sizeof r.country, false};
  fields[3] = {"continent", r.continent, sizeof r.continent, false};
}

bool holdsControlByte(const NameField& f) {
  for (std::size_t i = 0; i < f.size && f.bytes[i] != '\0'; ++i) {
    unsigned char c = static_cast<unsigned char>(f.bytes[i]);
    if (c < 0x20 || c == 0x7F) return true;
  }
  return false;
}

bool terminated(const NameField& f) { return std::memchr(f.bytes, '\0', f.size) != nullptr; }

}  // namespace

RecordFault findRecordFault(const LocationData& record) {
  NameField fields[4];
  nameFields(record, fields);
  for (const NameField& f : fields) {
    if (holdsControlByte(f)) return RecordFault::kControlByte;
  }
  for (const NameField& f : fields) {
    if (!terminated(f)) return RecordFault::kUnterminated;
  }
  for (const NameField& f : fields) {
    if (!f.mayBeEmpty && f.bytes[0] == '\0') return RecordFault::kEmptyName;
  }
  RecordPosition p(record);
  if (!(std::fabs(p.latitude) <= 90.0f) || !(std::fabs(p.longitude) <= 360.0f)) {
    return RecordFault::kImpossiblePosition;
  }
  return RecordFault::kNone;
}

std::string describeRecordFault(const LocationData& record, RecordFault fault) {
  NameField fields[4];
  nameFields(record, fields);
  for (const NameField& f : fields) {
    switch (fault) {
      case RecordFault::kControlByte:
        if (holdsControlByte(f)) return std::string("its ") + f.label + " holds a control byte";
        break;
      case RecordFault::kUnterminated:
        if (!terminated(f)) return std::string("its ") + f.label + " runs past its field";
        break;
      case RecordFault::kEmptyName:
        if (!f.mayBeEmpty && f.bytes[0] == '\0') return std::string("its ") + f.label + " is empty";
        break;
      default:
        break;
    }
  }
  if (fault == RecordFault::kImpossiblePosition) {
    RecordPosition p(record);
    char text[96];
    std::snprintf(text, sizeof text, "its position %g, %g lies on no globe",
                  static_cast<double>(p.latitude), static_cast<double>(p.longitude));
    return text;
  }
  return "it is sound";
}

}  // namespace metdb
