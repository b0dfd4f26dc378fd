#include "tool/lists/GhcndStations.h"

#include <cctype>

#include "tool/CheckPoint.h"
#include "tool/lists/Angles.h"
#include "tool/text/Text.h"

namespace metdb {

namespace {

// Columns [first, last], counted from 1 as the format counts them, without
// the blanks around them; empty when the line is shorter.
std::string columns(const std::string& line, std::size_t first, std::size_t last) {
  if (line.size() < first) return "";
  return text::trimBlanks(line.substr(first - 1, last - first + 1));
}

}  // namespace

bool looksLikeGhcndLine(const std::string& line) {
  if (line.size() < 40 || line[11] != ' ' || line[20] != ' ' || line[30] != ' ') return false;
  for (std::size_t i = 0; i < 11; ++i) {
    if (!std::isalnum(static_cast<unsigned char>(line[i]))) return false;
  }
  double v;
  return text::parseNumber(columns(line, 13, 20), &v) &&
         text::parseNumber(columns(line, 22, 30), &v);
}

ListedStations readGhcndStations(std::istream& in, const ListOptions& options) {
  ListedStations out;
  std::string line;
  long number = 0;
  while (std::getline(in, line) && !readingStops(out, options)) {
    checkPoint();
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (text::trimBlanks(line).empty()) continue;
    if (line.size() < 42) {
      rowError(&out, number, "",
               "the line is " + std::to_string(line.size()) +
                   " characters long; a station's line has its name from column 42");
      continue;
    }
    ListedStation s;
    s.line = number;
    std::string id = columns(line, 1, 11);
    if (id.size() < 2) {
      rowError(&out, number, "ID", "the station has no ID");
      continue;
    }
    s.country = id.substr(0, 2);
    s.countryCode = CountryCode::kGhcn;
    std::string why = readAngle(columns(line, 13, 20), true, &s.latitude);
    if (!why.empty()) {
      rowError(&out, number, "LATITUDE", "the latitude " + why);
      continue;
    }
    why = readAngle(columns(line, 22, 30), false, &s.longitude);
    if (!why.empty()) {
      rowError(&out, number, "LONGITUDE", "the longitude " + why);
      continue;
    }
    s.state = ghcnStateOf(s.country, columns(line, 39, 40), options);
    s.name = columns(line, 42, 71);
    if (s.name.empty()) {
      rowError(&out, number, "NAME", "the station has no name");
      continue;
    }
    if (options.levelGiven()) {
      s.level = options.level;
    } else if (!columns(line, 73, 75).empty()) {
      s.level = 1;
    } else if (!columns(line, 77, 79).empty()) {
      s.level = 2;
    } else if (!columns(line, 81, 85).empty()) {
      s.level = 3;
    } else {
      s.level = 4;
    }
    // Elevation in columns 32-37 (-999.9 when unknown), the WMO number in
    // 81-85.
    addListedId(&s, "ghcn", id);
    addListedId(&s, "wmo", columns(line, 81, 85));
    setListedElevation(&s, columns(line, 32, 37));
    out.stations.push_back(s);
  }
  if (number == 0) {
    out.errors.push_back({0, "", "the list is empty"});
    out.fatal = true;
  }
  return out;
}

}  // namespace metdb
