#include "tool/lists/CountryResolution.h"

namespace metdb {

CountryResolver standardCountryResolver() {
  // Filled in when the table of countries comes.
  return [](const std::string&, CountryCode, CountryNaming*) { return false; };
}

}  // namespace metdb
