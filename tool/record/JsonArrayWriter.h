#ifndef METDB_TOOL_RECORD_JSONARRAYWRITER_H_
#define METDB_TOOL_RECORD_JSONARRAYWRITER_H_

#include <nlohmann/json.hpp>
#include <ostream>
#include <string>

namespace metdb {

// A JSON array written one element at a time, each on a line of its own
// (readable, and never the whole array in memory):
//   [
//     {...},
//     {...}
//   ]
// and "[]" when it stays empty. The array may stand inside an opening and a
// closing of the caller's (a GeoJSON FeatureCollection's members). The
// stream is the caller's and outlives the writer; write failures are left
// in its state.
class JsonArrayWriter {
 public:
  // Writes opening, which ends with the array's "[".
  explicit JsonArrayWriter(std::ostream& out, const std::string& opening = "[");

  // Writes one element, compact (dumpJson with no indent).
  void add(const nlohmann::ordered_json& element);
  // Writes one element given as its compact JSON text.
  void addText(const std::string& element);
  // Writes closing, which begins with the array's "]", and a line end.
  void end(const std::string& closing = "]");

  long count() const { return count_; }

 private:
  std::ostream& out_;
  long count_ = 0;
};

}  // namespace metdb

#endif  // METDB_TOOL_RECORD_JSONARRAYWRITER_H_
