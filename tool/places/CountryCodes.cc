#include "tool/places/CountryCodes.h"

#include <istream>

#include "tool/DataFolder.h"
#include "tool/Error.h"
#include "tool/places/Continents.h"
#include "tool/text/InputFile.h"
#include "tool/text/SearchKey.h"
#include "tool/text/Text.h"

namespace metdb {

namespace {

const char kHeader[] = "iso2\tiso3\tnumeric\tname\tcontinent\tfips\taliases";

std::string upper(std::string code) {
  for (char& c : code) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return code;
}

// The number of a numeric code: digits only, at most three that count.
bool readNumeric(const std::string& code, int* number) {
  if (code.empty() || code.size() > 6) return false;
  int value = 0;
  for (char c : code) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  if (value > 999) return false;
  *number = value;
  return true;
}

bool isCode(const std::string& code, std::size_t length) {
  if (code.size() != length) return false;
  for (char c : code) {
    if (c < 'A' || c > 'Z') return false;
  }
  return true;
}

}  // namespace

CountryCodes CountryCodes::read(const std::string& path) {
  InputFile file(path);  // throws Error naming path when it cannot
  std::istream in(&file);
  CountryCodes codes;
  std::string line;
  long number = 0;
  bool header = false;
  auto fail = [&](const std::string& what) {
    throw Error("The country table " + text::quoted(path) + " is damaged at line " +
                    std::to_string(number) + ": " + what + ".",
                Error::Cause::kDamaged);
  };
  auto index = [&](std::unordered_map<std::string, std::size_t>& map, const std::string& key,
                   const char* what) {
    if (!map.emplace(key, codes.countries_.size()).second) {
      fail(std::string(what) + " " + text::quoted(key) + " is there twice");
    }
  };
  while (std::getline(in, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    if (!header) {
      if (line != kHeader) fail("the columns are not those of a country table");
      header = true;
      continue;
    }
    std::vector<std::string> fields = text::split(line, '\t');
    if (fields.size() != 7) fail("a row has 7 columns, this one " + std::to_string(fields.size()));
    Country country;
    country.iso2 = fields[0];
    country.iso3 = fields[1];
    if (!isCode(country.iso2, 2)) fail("the alpha-2 code is not two capitals");
    if (!isCode(country.iso3, 3)) fail("the alpha-3 code is not three capitals");
    country.numeric = 0;
    if (!fields[2].empty() && (!readNumeric(fields[2], &country.numeric) || country.numeric == 0)) {
      fail("the numeric code is not a number from 1 to 999");
    }
    country.name = fields[3];
    if (country.name.empty() || country.name.size() > 30) {
      fail("the name is empty or longer than 30 bytes");
    }
    const std::string* continent = findContinent(fields[4]);
    if (continent == nullptr) fail("the continent is none of the project's");
    country.continent = *continent;
    if (!fields[5].empty()) country.fips = text::split(fields[5], ',');
    for (const std::string& fips : country.fips) {
      if (!isCode(fips, 2)) fail("a FIPS code is not two capitals");
    }
    if (!fields[6].empty()) country.otherNames = text::split(fields[6], '|');

    index(codes.iso2_, country.iso2, "the alpha-2 code");
    index(codes.iso3_, country.iso3, "the alpha-3 code");
    if (country.numeric != 0 &&
        !codes.numeric_.emplace(country.numeric, codes.countries_.size()).second) {
      fail("the numeric code " + fields[2] + " is there twice");
    }
    for (const std::string& fips : country.fips) index(codes.fips_, fips, "the FIPS code");
    index(codes.names_, searchKey(country.name), "the name");
    // An other name may read as another country's name once case and
    // accents are set aside; the country's own name then wins.
    for (const std::string& other : country.otherNames) {
      codes.names_.emplace(searchKey(other), codes.countries_.size());
    }
    codes.countries_.push_back(std::move(country));
  }
  if (in.bad() || !file.fault().empty())
    throw Error("Cannot read the country table " + text::quoted(path) + ".", Error::Cause::kSystem);
  if (!header || codes.countries_.empty()) {
    throw Error("The country table " + text::quoted(path) + " holds no countries.",
                Error::Cause::kDamaged);
  }
  return codes;
}

const CountryCodes& CountryCodes::standard() {
  static const CountryCodes codes = read(dataFolder() + "/geo/countries.tsv");
  return codes;
}

const Country* CountryCodes::find(Kind kind, const std::string& code) const {
  const std::unordered_map<std::string, std::size_t>* map = nullptr;
  std::string key;
  switch (kind) {
    case Kind::kIso2:
      map = &iso2_;
      key = upper(code);
      break;
    case Kind::kIso3:
      map = &iso3_;
      key = upper(code);
      break;
    case Kind::kFips:
      map = &fips_;
      key = upper(code);
      break;
    case Kind::kName:
      map = &names_;
      key = searchKey(code);
      break;
    case Kind::kNumeric: {
      int number = 0;
      if (!readNumeric(code, &number)) return nullptr;
      auto found = numeric_.find(number);
      return found == numeric_.end() ? nullptr : &countries_[found->second];
    }
  }
  auto found = map->find(key);
  return found == map->end() ? nullptr : &countries_[found->second];
}

const Country& CountryCodes::get(Kind kind, const std::string& code) const {
  const Country* country = find(kind, code);
  if (country == nullptr) {
    throw Error(
        "No country has the " + std::string(describe(kind)) + " " + text::quoted(code) + ".",
        Error::Cause::kNotFound);
  }
  return *country;
}

const char* CountryCodes::describe(Kind kind) {
  switch (kind) {
    case Kind::kIso2:
      return "ISO 3166-1 alpha-2 code";
    case Kind::kIso3:
      return "ISO 3166-1 alpha-3 code";
    case Kind::kNumeric:
      return "ISO 3166-1 numeric code";
    case Kind::kFips:
      return "FIPS 10-4 code";
    case Kind::kName:
      return "name";
  }
  return "code";
}

}  // namespace metdb
