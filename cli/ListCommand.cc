#include "cli/ListCommand.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <array>
#include <memory>

#include "cli/DatabaseAccess.h"
#include "cli/SelectedLocations.h"
#include "cli/Text.h"

namespace {

constexpr int kColumns = 8;
const char* const kHeadings[kColumns] = {"INDEX", "CONTINENT", "COUNTRY",  "STATE",
                                         "NAME",  "LEVEL",     "LATITUDE", "LONGITUDE"};
// Numbers are aligned to the right.
const bool kRight[kColumns] = {true, false, false, false, false, true, true, true};

std::array<std::string, kColumns> cells(const LocationData& r, long index) {
  return {std::to_string(index),
          fieldText(r.continent),
          fieldText(r.country),
          fieldText(r.state),
          fieldText(r.name),
          std::to_string(r.level),
          text::fixedFloat(r.latitude, 4),
          text::fixedFloat(r.longitude, 4)};
}

void writeRow(std::ostream& out, const std::array<std::string, kColumns>& row,
              const std::array<std::size_t, kColumns>& width) {
  std::string line;
  for (int i = 0; i < kColumns; ++i) {
    if (i > 0) line += "  ";
    line += kRight[i] ? text::padLeft(row[i], width[i]) : text::padRight(row[i], width[i]);
  }
  while (!line.empty() && line.back() == ' ') line.pop_back();
  out << line << '\n';
}

int list(const Filters& filters, ToolContext& context) {
  DatabaseAccess access(context);
  BMTFile* db = access.open(DatabaseUse::kRead);
  if (db == nullptr) return kExitFailure;
  SelectedLocations selected;
  std::string error;
  if (!selected.build(filters, db, &error)) {
    context.error(error + ".");
    return kExitFailure;
  }
  if (selected.count() == 0) {
    context.out << "No location is selected.\n";
    return kExitOk;
  }
  // Two passes over the iterator: the widths first, so that only one record
  // is ever held, however long the list.
  std::array<std::size_t, kColumns> width;
  for (int i = 0; i < kColumns; ++i) width[i] = text::displayWidth(kHeadings[i]);
  selected.forEach([&](const LocationData& r, long index) {
    auto row = cells(r, index);
    for (int i = 0; i < kColumns; ++i) width[i] = std::max(width[i], text::displayWidth(row[i]));
  });
  std::array<std::string, kColumns> heading;
  std::copy(std::begin(kHeadings), std::end(kHeadings), heading.begin());
  writeRow(context.out, heading, width);
  selected.forEach(
      [&](const LocationData& r, long index) { writeRow(context.out, cells(r, index), width); });
  context.out << text::plural(selected.count(), "location", "locations") << ".\n";
  return kExitOk;
}

}  // namespace

void addListCommand(CLI::App* app, ToolContext* context) {
  CLI::App* command = app->add_subcommand("list", "List locations as a table, in walk order");
  auto filters = std::make_shared<Filters>();
  filters->addOptions(command, "--name", true);
  command->footer(
      "Without filters every location is listed.\n"
      "\n"
      "Examples:\n"
      "  metdb --db stations.bmt list --continent Europe --bbox 50,-180,90,180\n"
      "  metdb --db stations.bmt list --name 'san*'");
  context->addCommand(command, [filters, context] { return list(*filters, *context); });
}
