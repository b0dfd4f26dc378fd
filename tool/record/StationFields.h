#ifndef METDB_TOOL_RECORD_STATIONFIELDS_H_
#define METDB_TOOL_RECORD_STATIONFIELDS_H_

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "datafile/StationInfo.h"

namespace metdb {

// The columns of what the station file keeps (StationInfo), as station
// lists, listings, exports and the command line name them:
//   ids          every identifier, "scheme:value", separated by blanks
//   wmo, icao, iata, ghcn, usaf-wban, geonames, ourairports
//                the first identifier of that scheme, without the scheme
//   elevation    metres; empty when unknown
//   timezone     an IANA time zone
//   active_from, active_to   first and last day of operation, YYYY-MM-DD
//   source       the list and line the location came from
// Every column is optional; an empty value means unknown.
const std::vector<std::string>& stationColumns();

// The identifier schemes the tool knows, each with its column.
const std::vector<std::string>& knownIdSchemes();

// Whether column (ignoring ASCII case) is a station column; its name as
// stationColumns() writes it in *canonical.
bool isStationColumn(const std::string& column, std::string* canonical = nullptr);

// The value of column for info, as text ("" when unknown).
std::string stationValueText(const StationInfo& info, const std::string& column);

// Sets column of *info from text as a list gives it (surrounding blanks
// ignored; an empty text leaves info as it is). A scheme's column adds the
// identifier "scheme:text"; "ids" adds each blank-separated identifier;
// "id.SCHEME" adds one of a scheme of the user's; ids are separated by
// blanks, or given as a JSON array of strings (as GeoJSON and GDAL's
// GeoPackages hold lists). Dates are YYYY-MM-DD or YYYYMMDD. Returns "" when set, else what is
// wrong as a phrase.
std::string setStationFromText(StationInfo* info, const std::string& column,
                               const std::string& text);

// Adds to a JSON object (a record's, a GeoJSON feature's properties) the
// members ids (an array; with idsAsText the identifiers separated by
// blanks as the CSV writes them, or null when none: GIS tools take one
// plain value per property), elevation (a number), timezone, active_from,
// active_to and source, null where unknown (info null: all null).
void addStationMembers(nlohmann::ordered_json& object, const StationInfo* info,
                       bool idsAsText = false);

// An identifier as the station file keeps it: the scheme folded to lower
// case. Returns "" and sets *why when text is no "scheme:value".
std::string normalizedId(const std::string& text, std::string* why);

// A date as YYYY-MM-DD from YYYY-MM-DD or YYYYMMDD; "" when text is no
// such date.
std::string normalizedDate(const std::string& text);

}  // namespace metdb

#endif  // METDB_TOOL_RECORD_STATIONFIELDS_H_
