#include "tool/record/RecordListing.h"

#include <string>
#include <utility>

#include "tool/record/CsvWriter.h"
#include "tool/record/RecordJson.h"

namespace metdb {

RecordListing::RecordListing(std::ostream& out, ListingFormat format,
                             std::vector<RecordColumn> columns)
    : out_(out), format_(format), columns_(std::move(columns)) {}

void RecordListing::begin() {
  if (format_ == ListingFormat::kJson) {
    array_.emplace(out_);
    return;
  }
  std::vector<std::string> names;
  for (const RecordColumn& c : columns_) names.push_back(c.name());
  writeCsvLine(out_, names);
}

void RecordListing::write(const LocationData& record, long index, const StationInfo* info) {
  if (format_ == ListingFormat::kJson) {
    nlohmann::ordered_json object = nlohmann::ordered_json::object();
    for (const RecordColumn& c : columns_) object[c.name()] = c.json(record, index, info);
    array_->add(object);
  } else {
    std::vector<std::string> cells;
    for (const RecordColumn& c : columns_) cells.push_back(c.text(record, index, info));
    writeCsvLine(out_, cells);
  }
}

void RecordListing::end() {
  if (format_ == ListingFormat::kJson) array_->end();
}

}  // namespace metdb
