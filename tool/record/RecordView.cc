#include "tool/record/RecordView.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "tool/text/Text.h"

namespace metdb {

namespace {

void field(std::ostream& out, const char* label, const std::string& value) {
  out << "  " << text::padRight(label, 11) << value << '\n';
}

}  // namespace

void writeRecordView(std::ostream& out, const LocationData& r, long index) {
  float latitude, longitude;
  std::int16_t aux;
  std::memcpy(&latitude, &r.latitude, sizeof latitude);
  std::memcpy(&longitude, &r.longitude, sizeof longitude);
  std::memcpy(&aux, &r.auxValue, sizeof aux);

  out << "Record " << index << '\n';
  field(out, "name", fieldText(r.name));
  field(out, "state", fieldText(r.state));
  field(out, "country", fieldText(r.country));
  field(out, "continent", fieldText(r.continent));
  field(out, "level", std::to_string(r.level));
  field(out, "latitude", text::shortestFloat(latitude));
  field(out, "longitude", text::shortestFloat(longitude));
  field(out, "auxValue", std::to_string(aux));

  // The series, as text first so that every column can take the width of
  // its widest value.
  std::vector<std::vector<std::string>> rows(5, std::vector<std::string>(12));
  for (int m = 0; m < 12; ++m) {
    float v;
    std::int16_t w;
    std::memcpy(&v, reinterpret_cast<const char*>(r.seriesA) + m * sizeof v, sizeof v);
    rows[0][m] = text::shortestFloat(v);
    std::memcpy(&v, reinterpret_cast<const char*>(r.seriesB) + m * sizeof v, sizeof v);
    rows[1][m] = text::shortestFloat(v);
    std::memcpy(&w, reinterpret_cast<const char*>(r.seriesC) + m * sizeof w, sizeof w);
    rows[2][m] = std::to_string(w);
    std::memcpy(&v, reinterpret_cast<const char*>(r.seriesD) + m * sizeof v, sizeof v);
    rows[3][m] = text::shortestFloat(v);
    std::memcpy(&v, reinterpret_cast<const char*>(r.seriesE) + m * sizeof v, sizeof v);
    rows[4][m] = text::shortestFloat(v);
  }
  std::size_t width[12];
  for (int m = 0; m < 12; ++m) {
    width[m] = std::to_string(m + 1).size();
    for (const auto& row : rows) width[m] = std::max(width[m], text::displayWidth(row[m]));
  }
  out << "  " << text::padRight("series", 9);
  for (int m = 0; m < 12; ++m) out << "  " << text::padLeft(std::to_string(m + 1), width[m]);
  out << '\n';
  const char* names[] = {"A", "B", "C", "D", "E"};
  for (int s = 0; s < 5; ++s) {
    out << "  " << text::padRight(names[s], 9);
    for (int m = 0; m < 12; ++m) out << "  " << text::padLeft(rows[s][m], width[m]);
    out << '\n';
  }
}

}  // namespace metdb
