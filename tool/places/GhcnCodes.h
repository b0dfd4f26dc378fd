#ifndef METDB_TOOL_PLACES_GHCNCODES_H_
#define METDB_TOOL_PLACES_GHCNCODES_H_

#include <string>
#include <unordered_map>
#include <vector>

#include "tool/places/CountryCodes.h"

namespace metdb {

// GHCN-Daily's own code tables, which NOAA's station lists use (the first
// two characters of a GHCN-Daily ID, ISD's CTRY; the STATE columns of
// both): each country code with the country of the project's country table
// that it names, and each state or province code with its name and the
// countries it is used in. Read from the project's data
// (ghcnd-countries.tsv, ghcnd-states.tsv; data/geo/README.md gives their
// source and format).
class GhcnCodes {
 public:
  // Reads the two tables; countries is the table their ISO codes refer to
  // and must outlive the result. Throws Error naming the file when one
  // cannot be read, a line is not of its format (with the line's number),
  // a code is there twice or an ISO code is not in countries.
  static GhcnCodes read(const std::string& countriesPath, const std::string& statesPath,
                        const CountryCodes& countries);

  // The tables of the data folder (dataFolder()/geo/), over
  // CountryCodes::standard(), read on first use and kept for the life of the
  // process. Throws as read() does.
  static const GhcnCodes& standard();

  // The country that a GHCN country code names ("SZ", "VM"; any letter
  // case); null when the table has no such code. The pointer stays valid
  // as long as the country table.
  const Country* country(const std::string& code) const;

  // The name of a state or province ("NY" -> "New York") for a station of
  // the country with the ISO alpha-2 code iso2; empty when the code is not
  // in the table or not used in that country ("NS" is Nova Scotia in
  // Canada only).
  std::string stateName(const std::string& code, const std::string& iso2) const;

  // Every country code, in the table's order.
  const std::vector<std::string>& countryCodes() const { return codes_; }

 private:
  struct State {
    std::string name;
    std::vector<std::string> countries;
  };
  std::vector<std::string> codes_;
  std::unordered_map<std::string, const Country*> countries_;
  std::unordered_map<std::string, State> states_;
};

}  // namespace metdb

#endif  // METDB_TOOL_PLACES_GHCNCODES_H_
