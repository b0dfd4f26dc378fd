#include "tool/places/GhcnCodes.h"

#include <algorithm>

#include "tool/DataFolder.h"
#include "tool/places/DataTable.h"
#include "tool/text/Text.h"

namespace metdb {

namespace {

bool isCode(const std::string& code) {
  return code.size() == 2 && std::all_of(code.begin(), code.end(), [](char c) {
           return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
         });
}

}  // namespace

GhcnCodes GhcnCodes::read(const std::string& countriesPath, const std::string& statesPath,
                          const CountryCodes& countries) {
  GhcnCodes codes;
  auto country = [&](const std::vector<std::string>& fields, const TableFault& fail) {
    if (!isCode(fields[0])) fail("the code is not two capitals or digits");
    const Country* named = countries.find(CountryCodes::Kind::kIso2, fields[1]);
    if (named == nullptr) fail("the ISO code " + text::quoted(fields[1]) + " names no country");
    if (!codes.countries_.emplace(fields[0], named).second) {
      fail("the code " + text::quoted(fields[0]) + " is there twice");
    }
    codes.codes_.push_back(fields[0]);
  };
  auto state = [&](const std::vector<std::string>& fields, const TableFault& fail) {
    if (!isCode(fields[0])) fail("the code is not two capitals or digits");
    if (fields[2].empty()) fail("the name is empty");
    if (!codes.states_.emplace(fields[0], State{fields[2], text::split(fields[1], ',')}).second) {
      fail("the code " + text::quoted(fields[0]) + " is there twice");
    }
  };
  readDataTable(countriesPath, "GHCN-Daily country table", "ghcn\tiso2\tghcn_name", country);
  readDataTable(statesPath, "GHCN-Daily state table", "ghcn\tcountries\tname", state);
  return codes;
}

const GhcnCodes& GhcnCodes::standard() {
  static const GhcnCodes codes =
      read(dataFolder() + "/geo/ghcnd-countries.tsv", dataFolder() + "/geo/ghcnd-states.tsv",
           CountryCodes::standard());
  return codes;
}

const Country* GhcnCodes::country(const std::string& code) const {
  auto found = countries_.find(text::asciiUpper(code));
  return found == countries_.end() ? nullptr : found->second;
}

std::string GhcnCodes::stateName(const std::string& code, const std::string& iso2) const {
  auto found = states_.find(text::asciiUpper(code));
  if (found == states_.end()) return "";
  const std::vector<std::string>& in = found->second.countries;
  return std::find(in.begin(), in.end(), text::asciiUpper(iso2)) == in.end() ? ""
                                                                             : found->second.name;
}

}  // namespace metdb
