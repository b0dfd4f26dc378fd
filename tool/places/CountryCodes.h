#ifndef METDB_TOOL_PLACES_COUNTRYCODES_H_
#define METDB_TOOL_PLACES_COUNTRYCODES_H_

#include <string>
#include <unordered_map>
#include <vector>

namespace metdb {

// A country (or territory) of ISO 3166-1, and Kosovo (XK), with the codes
// station lists name it by.
struct Country {
  std::string iso2;  // ISO 3166-1 alpha-2, "CH"
  std::string iso3;  // alpha-3, "CHE"
  int numeric;       // ISO 3166-1 numeric, 756; 0 where there is none (Kosovo)
  // The name as the database stores it, at most 30 bytes of UTF-8:
  // "Switzerland", "Bolivia", "Taiwan".
  std::string name;
  std::string continent;  // one of continents()
  // FIPS 10-4 codes, as NOAA's station lists use them (GHCN-Daily's ID
  // prefix, ISD's CTRY): "SZ"; several where FIPS codes parts apart
  // (Palestine: "WE", "GZ"); none for a few (Bouvet Island).
  std::vector<std::string> fips;
  // Other names: ISO's and official forms, names that other sources use
  // ("Swiss Confederation", "Ivory Coast", "Turkey").
  std::vector<std::string> otherNames;
};

// The table of countries, read from the project's data (countries.tsv,
// whose sources and format data/geo/README.md gives), with lookups by each
// kind of code and by name.
class CountryCodes {
 public:
  enum class Kind {
    kIso2,     // "CH", any letter case
    kIso3,     // "CHE", any letter case
    kNumeric,  // "756"; leading zeros optional ("36" and "036" are Australia)
    kFips,     // FIPS 10-4, "SZ", any letter case
    kName,     // the name or one of the other names, ignoring case, accents
               // and script as searchKey() does ("cote d'ivoire")
  };

  // Reads the table at path. Throws Error naming the file when it cannot
  // be read or a line is not of the table's format (the line's number and
  // what is wrong), or when two countries share a code.
  static CountryCodes read(const std::string& path);

  // The table of the data folder (dataFolder()/geo/countries.tsv), read on
  // first use and kept for the life of the process. Throws as read() does;
  // a later call tries again.
  static const CountryCodes& standard();

  // Every country, in the order of their alpha-2 codes.
  const std::vector<Country>& countries() const { return countries_; }

  // The country that code names as kind says; null when none does. The
  // pointer stays valid as long as this table.
  const Country* find(Kind kind, const std::string& code) const;

  // The same, but throws Error for a code that names no country, with a
  // sentence that gives the kind of code and the code.
  const Country& get(Kind kind, const std::string& code) const;

  // What a kind of code is called in messages: "FIPS 10-4 code".
  static const char* describe(Kind kind);

 private:
  std::vector<Country> countries_;
  std::unordered_map<std::string, std::size_t> iso2_, iso3_, fips_, names_;
  std::unordered_map<int, std::size_t> numeric_;
};

}  // namespace metdb

#endif  // METDB_TOOL_PLACES_COUNTRYCODES_H_
