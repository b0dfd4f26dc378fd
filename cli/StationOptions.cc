#include "cli/StationOptions.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cmath>

#include "tool/record/StationFields.h"

namespace metdb {

namespace {

std::string checkId(const std::string& value) {
  std::string why;
  return normalizedId(value, &why).empty() ? why : std::string();
}

}  // namespace

void StationOptions::addOptions(CLI::App* command) {
  command->add_option("--add-id", addIds_, "An identifier of the location (repeatable)")
      ->type_name("SCHEME:VALUE")
      ->check(checkId, "");
  command->add_option("--remove-id", removeIds_, "An identifier the location no longer has")
      ->type_name("SCHEME:VALUE")
      ->check(checkId, "");
  const char* options[][4] = {
      {"--elevation", "elevation", "METRES", "Elevation in metres (\"\": unknown)"},
      {"--timezone", "timezone", "ZONE", "IANA time zone, such as Europe/Oslo (\"\": unknown)"},
      {"--active-from", "active_from", "YYYY-MM-DD", "First day of operation (\"\": open)"},
      {"--active-to", "active_to", "YYYY-MM-DD", "Last day of operation (\"\": open)"},
      {"--source", "source", "TEXT", "Where the location came from"},
  };
  for (const auto& o : options) {
    std::string column = o[1];
    command
        ->add_option_function<std::string>(
            o[0], [this, column](const std::string& v) { fields_.emplace_back(column, v); }, o[3])
        ->type_name(o[2])
        ->check(
            [column](const std::string& v) {
              StationInfo scratch;
              return setStationFromText(&scratch, column, v);
            },
            "");
  }
}

bool StationOptions::anyGiven() const {
  return !addIds_.empty() || !removeIds_.empty() || !fields_.empty();
}

StationInfo StationOptions::applyTo(StationInfo info) const {
  std::string why;
  for (const std::string& id : removeIds_) {
    std::string normal = normalizedId(id, &why);
    info.ids.erase(std::remove(info.ids.begin(), info.ids.end(), normal), info.ids.end());
  }
  for (const std::string& id : addIds_) info.addId(normalizedId(id, &why));
  for (const auto& f : fields_) {
    if (f.second.find_first_not_of(" \t") == std::string::npos) {
      if (f.first == "elevation") info.elevation = std::nan("");
      if (f.first == "timezone") info.timeZone.clear();
      if (f.first == "active_from") info.activeFrom.clear();
      if (f.first == "active_to") info.activeTo.clear();
      if (f.first == "source") info.source.clear();
      continue;
    }
    setStationFromText(&info, f.first, f.second);
  }
  return info;
}

}  // namespace metdb
