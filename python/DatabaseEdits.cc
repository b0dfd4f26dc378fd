#include "python/DatabaseEdits.h"

#include <memory>
#include <set>
#include <sstream>
#include <vector>

#include "python/LocationValue.h"
#include "python/PythonErrors.h"
#include "tool/Error.h"
#include "tool/database/BulkEdit.h"
#include "tool/database/Compaction.h"
#include "tool/database/DatabaseImport.h"
#include "tool/database/ImportSource.h"
#include "tool/database/LocationPath.h"
#include "tool/database/ProgressInfo.h"
#include "tool/database/RecordEditor.h"
#include "tool/database/SelectedLocations.h"
#include "tool/lists/StationListReading.h"
#include "tool/record/FieldAssignment.h"
#include "tool/text/Text.h"

namespace py = pybind11;

namespace metdb {
namespace python {

namespace {

// The field and element a keyword names ("level", "seriesC", "seriesC7");
// throws BindingError(kBadInput) naming the fields there are.
const Field* fieldOfKey(const std::string& key, int* element) {
  const Field* field = fieldOfColumn(key, element);
  if (field != nullptr) return field;
  for (const Field& f : locationFields()) {
    if (f.isSeries() && text::equalIgnoringCase(key, f.column)) {
      *element = -1;
      return &f;
    }
  }
  // The tool's own sentence for an unknown FIELD of FIELD=VALUE.
  FieldAssignment unused;
  throw BindingError(ErrorKind::kBadInput, FieldAssignment::parse(key + "=", &unused) + ".");
}

// Applies fields to *record; throws BindingError(kBadInput) for a wrong
// value, naming its field.
void applyFields(const py::dict& fields, LocationData* record) {
  for (auto item : fields) {
    int element = 0;
    const Field* field = fieldOfKey(py::str(item.first).cast<std::string>(), &element);
    setFieldFromObject(record, *field, element, item.second);
  }
}

// The fields as assignments, for BulkEdit: each value checked as
// setFieldFromObject checks it.
std::vector<FieldAssignment> assignmentsOf(const py::dict& fields) {
  std::vector<FieldAssignment> out;
  for (auto item : fields) {
    FieldAssignment a;
    a.field = fieldOfKey(py::str(item.first).cast<std::string>(), &a.element);
    if (!a.field->isSeries()) a.element = -1;
    LocationData scratch{};
    setFieldFromObject(&scratch, *a.field, a.element, item.second);
    // The value as the record now holds it, in the tool's own text.
    if (a.element >= 0 || !a.field->isSeries()) {
      a.value = fieldValueText(scratch, *a.field, a.element < 0 ? 0 : a.element);
    } else {
      for (int m = 0; m < a.field->elements; ++m) {
        if (m > 0) a.value += ',';
        a.value += fieldValueText(scratch, *a.field, m);
      }
    }
    for (const FieldAssignment& before : out) {
      if (overlap(before, a)) {
        throw BindingError(ErrorKind::kBadInput, a.column() + " is given twice.");
      }
    }
    out.push_back(a);
  }
  if (out.empty()) {
    throw BindingError(ErrorKind::kBadInput, "Give at least one field to change, such as level=2.");
  }
  return out;
}

// A record index that what gives, or -1 when what is a path (*path set).
long indexOrPath(const py::handle& what, std::string* path) {
  if (py::isinstance<py::int_>(what) && !py::isinstance<py::bool_>(what)) {
    long index = what.cast<long>();
    if (index < 0) {
      throw BindingError(ErrorKind::kBadInput,
                         "A record index is 0 or more, not " + std::to_string(index) + ".");
    }
    return index;
  }
  if (!py::isinstance<py::str>(what)) {
    throw BindingError(ErrorKind::kBadInput,
                       "Give a record index (int) or a path CONTINENT/COUNTRY/STATE/NAME, not " +
                           py::repr(what).cast<std::string>() + ".");
  }
  *path = what.cast<std::string>();
  long index = 0;
  if (parseRecordIndex(*path, &index)) return index;
  return -1;
}

LocationPath parsePath(const std::string& text) { return LocationPath::parse(text); }

// A sink for the import's progress, which a Python caller does not see.
struct QuietProgress {
  std::ostringstream bar;
  ProgressInfo info{bar, false, 0};
};

}  // namespace

long addLocation(OpenDatabase& database, const py::dict& fields) {
  database.requireWritable();
  LocationData record;
  record.level = 1;
  for (const Field& f : locationFields()) {
    if (!f.requiredToAdd) continue;
    if (!fields.contains(f.column)) {
      throw BindingError(ErrorKind::kBadInput,
                         "A new location needs its " + std::string(f.column) + ".");
    }
  }
  applyFields(fields, &record);
  RecordEditor editor(database.access());
  long index = editor.add(&record);
  database.noteChange();
  return index;
}

long setLocation(OpenDatabase& database, const py::handle& what, const py::dict& fields) {
  database.requireWritable();
  std::vector<FieldAssignment> assignments = assignmentsOf(fields);
  Database& access = database.access();
  std::string pathText;
  long index = indexOrPath(what, &pathText);
  if (index < 0) {
    LocationPath path = parsePath(pathText);
    if (path.parts.size() != 4) {
      throw BindingError(ErrorKind::kBadInput,
                         text::quoted(pathText) +
                             " is no whole path CONTINENT/COUNTRY/STATE/NAME; to change every "
                             "location of a group, use set_where.");
    }
    std::vector<Location*> found = path.find(access.db()->directory);
    if (found.empty()) {
      throw BindingError(ErrorKind::kNotFound, "No location " + text::quoted(pathText) +
                                                   " is in the database; nothing was changed.");
    }
    if (found.size() > 1) {
      throw BindingError(
          ErrorKind::kBadInput,
          text::quoted(pathText) + " names " +
              text::plural(static_cast<long>(found.size()), "location", "locations") +
              "; give the record index of the one to change (nothing was "
              "changed).");
    }
    index = found.front()->locationIndex;
  } else {
    RecordEditor(access).record(index);  // throws when no location refers to it
  }
  BulkEdit edit(access);
  std::vector<std::string> warnings;
  edit.assign({index}, assignments, &warnings);
  for (const std::string& w : warnings) warn(w);
  if (edit.changes().empty()) return index;
  LocationData record = edit.changes().front().after;
  long now = RecordEditor(access).replace(index, &record);
  database.noteChange();
  return now;
}

long setSelected(OpenDatabase& database, const py::dict& fields, const Filters& filters) {
  database.requireWritable();
  std::vector<FieldAssignment> assignments = assignmentsOf(fields);
  if (filters.describe().empty() && filters.selectionFile.empty()) {
    throw BindingError(ErrorKind::kBadInput,
                       "Give filters that select the locations to change (continent=\"*\" "
                       "selects them all).");
  }
  Database& access = database.access();
  std::vector<long> indices;
  {
    SelectedLocations selected;
    selected.build(filters, access.db());
    for (Location* entry : selected.entries()) indices.push_back(entry->locationIndex);
  }
  if (indices.empty()) return 0;
  BulkEdit edit(access);
  std::vector<std::string> warnings;
  edit.assign(indices, assignments, &warnings);
  for (const std::string& w : warnings) warn(w);
  long changes = static_cast<long>(edit.changes().size());
  if (changes == 0) return 0;
  QuietProgress progress;
  edit.apply(progress.info);
  database.noteChange();
  return changes;
}

long deleteLocations(OpenDatabase& database, const py::handle& what) {
  database.requireWritable();
  Database& access = database.access();
  std::string pathText;
  long index = indexOrPath(what, &pathText);
  std::set<long> indices;
  if (index >= 0) {
    RecordEditor editor(access);
    if (index >= access.recordCount() || !editor.moveCursorTo(index)) {
      throw BindingError(
          ErrorKind::kNotFound,
          "No location refers to record " + std::to_string(index) + "; nothing was deleted.");
    }
    indices.insert(index);
  } else {
    for (Location* loc : parsePath(pathText).find(access.db()->directory)) {
      indices.insert(loc->locationIndex);
    }
    if (indices.empty()) {
      throw BindingError(ErrorKind::kNotFound, "No location is under " + text::quoted(pathText) +
                                                   "; nothing was deleted.");
    }
  }
  long removed = RecordEditor(access).remove(indices);
  database.noteChange();
  return removed;
}

long renameGroup(OpenDatabase& database, const std::string& pathText, const std::string& newName) {
  database.requireWritable();
  LocationPath path = parsePath(pathText);
  BulkEdit edit(database.access());
  std::vector<std::string> warnings;
  edit.rename(path, newName, &warnings);
  for (const std::string& w : warnings) warn(w);
  if (edit.changes().empty()) return 0;
  QuietProgress progress;
  edit.apply(progress.info);
  database.noteChange();
  return static_cast<long>(edit.changes().size());
}

std::pair<long, long> compactDatabase(OpenDatabase& database) {
  database.requireWritable();
  Database& access = database.access();
  long before = access.recordCount();
  Compaction(access).compactAndRegroup();
  database.noteChange();
  return {before, access.recordCount()};
}

namespace {

// An import's closing report: {"total": n, "new": n, "replaced": n}, as far
// as it gave them.
py::dict importReport(const ProgressInfo& info) {
  py::dict report;
  const char* names[] = {"total", "new", "replaced"};
  for (int line = 0; line < 3; ++line) {
    long n = info.number(line);
    if (n >= 0) report[names[line]] = n;
  }
  return report;
}

}  // namespace

py::dict importFrom(OpenDatabase& database, const std::string& source, bool replace, bool force,
                    bool skipBad) {
  database.requireWritable();
  ImportSource from(source, standardStationListReading(), false, skipBad);
  StationListFindings findings = from.read();
  for (const std::string& w : findings.warnings) warn(w);
  if (findings.stops) {
    throw BindingError(ErrorKind::kBadInput,
                       findings.errors.empty()
                           ? source + ": the list cannot be read; nothing was imported."
                           : findings.errors.front());
  }
  QuietProgress progress;
  from.importInto(database.access(), replace, force, progress.info);
  database.noteChange();
  return importReport(progress.info);
}

py::dict importFrom(OpenDatabase& database, OpenDatabase& source, bool replace, bool force) {
  database.requireWritable();
  Database& from = source.access();
  QuietProgress progress;
  DatabaseImport(database.access()).importFrom(from, replace, progress.info, force);
  database.noteChange();
  return importReport(progress.info);
}

}  // namespace python
}  // namespace metdb
