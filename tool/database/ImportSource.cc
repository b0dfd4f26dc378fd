#include "tool/database/ImportSource.h"

#include <utility>

#include "datafile/LocationData.h"
#include "platform/Env.h"
#include "tool/Error.h"
#include "tool/database/DatabaseImport.h"
#include "tool/text/InputFile.h"
#include "tool/text/Text.h"

namespace metdb {

namespace {

constexpr const char* kNothingImported = "nothing was imported";

}  // namespace

ImportSource::ImportSource(std::string file, StationListReading reading, bool formatGiven,
                           bool skipBad)
    : file_(std::move(file)),
      reading_(std::move(reading)),
      formatGiven_(formatGiven),
      skipBad_(skipBad) {
  reading_.csv.mode =
      skipBad ? StationCsv::Mode::kSkipBadRows : StationCsv::Mode::kStopAtFirstError;
}

StationListFindings ImportSource::read() {
  std::string whyNotList;
  isList_ = formatGiven_ || file_ == InputFile::kStandardInput ||
            fileLooksLikeStationList(file_, &whyNotList);
  if (!isList_) {
    long long size = platform::Env::current()->sizeOf(file_);
    if (size > 0 && size < static_cast<long long>(sizeof(LocationData))) {
      // Too short for a record: text that holds a NUL byte, not a data file.
      throw Error("\"" + file_ + "\" is neither a station list (" + whyNotList +
                      ") nor a data file of locations (its " + std::to_string(size) +
                      " bytes are less than one record); " + kNothingImported + ".",
                  Error::Cause::kBadInput);
    }
    return StationListFindings();
  }
  try {
    rows_ = readStationListFile(file_, reading_);
  } catch (const Error& e) {
    throw Error(text::withoutPeriod(e.what()) + "; " + kNothingImported + ".", e.cause());
  }
  return describeFindings(rows_, stationListName(file_), skipBad_, kNothingImported);
}

void ImportSource::importInto(Database& access, bool replaceEqual, bool force, ProgressInfo& info) {
  DatabaseImport import(access);
  if (isList_) {
    import.importRows(std::move(rows_.rows), replaceEqual, info);
  } else {
    import.importFrom(file_, replaceEqual, info, force);
  }
}

}  // namespace metdb
