#include "tool/lists/CountryResolution.h"

#include <istream>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "tool/DataFolder.h"
#include "tool/Error.h"
#include "tool/places/CountryCodes.h"
#include "tool/places/GhcnCodes.h"
#include "tool/text/InputFile.h"
#include "tool/text/Text.h"

namespace metdb {

CountryResolver standardCountryResolver() {
  return [](const std::string& code, CountryCode kind, CountryNaming* naming) {
    const CountryCodes& table = CountryCodes::standard();
    const Country* country = nullptr;
    if (kind == CountryCode::kGhcn) {
      country = GhcnCodes::standard().country(text::trimBlanks(code));
      if (country == nullptr) kind = CountryCode::kFips;
    }
    CountryCodes::Kind k = kind == CountryCode::kIso    ? CountryCodes::Kind::kIso2
                           : kind == CountryCode::kFips ? CountryCodes::Kind::kFips
                                                        : CountryCodes::Kind::kName;
    if (country == nullptr) country = table.find(k, text::trimBlanks(code));
    if (country == nullptr) return false;
    naming->name = country->name;
    naming->continent = country->continent;
    return true;
  };
}

std::function<std::string(const std::string&, const std::string&)> standardGhcnStateNamer() {
  return [](const std::string& country, const std::string& code) -> std::string {
    const GhcnCodes& codes = GhcnCodes::standard();
    const Country* found = codes.country(text::trimBlanks(country));
    return found == nullptr ? std::string() : codes.stateName(text::trimBlanks(code), found->iso2);
  };
}

DivisionNamer standardDivisionNamer() {
  // Read on first use, kept for the life of the process.
  static std::once_flag once;
  static std::unique_ptr<std::unordered_map<std::string, std::string>> names;
  return [](const std::string& country, const std::string& code) -> std::string {
    std::call_once(once, [] {
      names = std::make_unique<std::unordered_map<std::string, std::string>>();
      std::string path = dataFolder() + "/geo/divisions.tsv";
      InputFile file(path);  // throws Error naming path when it cannot
      std::istream in(&file);
      std::string line;
      while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#' || line.rfind("code\t", 0) == 0) continue;
        std::size_t tab = line.find('\t');
        if (tab != std::string::npos) (*names)[line.substr(0, tab)] = line.substr(tab + 1);
      }
    });
    auto found = names->find(country + "." + code);
    return found == names->end() ? std::string() : found->second;
  };
}

}  // namespace metdb
