#include "tool/lists/CountryResolution.h"

#include <memory>
#include <mutex>
#include <unordered_map>

#include "tool/DataFolder.h"
#include "tool/Error.h"
#include "tool/InputFile.h"
#include "tool/places/CountryCodes.h"
#include "tool/text/Text.h"

namespace metdb {

CountryResolver standardCountryResolver() {
  return [](const std::string& code, CountryCode kind, CountryNaming* naming) {
    const CountryCodes& table = CountryCodes::standard();
    CountryCodes::Kind k = kind == CountryCode::kIso    ? CountryCodes::Kind::kIso2
                           : kind == CountryCode::kFips ? CountryCodes::Kind::kFips
                                                        : CountryCodes::Kind::kName;
    const Country* country = table.find(k, text::trimBlanks(code));
    if (country == nullptr) return false;
    naming->name = country->name;
    naming->continent = country->continent;
    return true;
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
      InputFile in(path);
      if (!in) throw Error("Cannot read the table of divisions \"" + path + "\".");
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
