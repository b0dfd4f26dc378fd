#include "cli/commands/InfoCommand.h"

#include <CLI/CLI.hpp>
#include <filesystem>
#include <system_error>

#include "cli/ToolDatabase.h"
#include "tool/database/DirectoryStats.h"
#include "tool/text/Text.h"

namespace metdb {

namespace fs = std::filesystem;

namespace {

void line(std::ostream& out, const char* label, const std::string& value) {
  out << text::padRight(label, 16) << value << '\n';
}

int info(ToolContext& context) {
  ToolDatabase access(context);
  BMTFile* db = access.open(DatabaseUse::kRead);
  if (db == nullptr) return kExitFailure;

  line(context.out, "Database:", access.dataFile() + " (" + access.originText() + ")");
  std::uintmax_t size = access.dataFileSize();
  long records = access.recordCount();
  long loose = static_cast<long>(size % static_cast<std::uintmax_t>(kLocationDataSize));
  std::string data = access.dataFile() + " (" +
                     text::plural(static_cast<long>(size), "byte", "bytes") + ", " +
                     text::plural(records, "record", "records");
  if (loose > 0)
    data += ", and " + text::plural(loose, "byte", "bytes") + " that are no whole record";
  line(context.out, "Data file:", data + ")");

  DirectoryFileState state = access.directoryState();
  std::string dir = access.directoryFile() + " (";
  std::error_code ec;
  if (state != DirectoryFileState::kMissing) {
    dir += text::plural(static_cast<long>(fs::file_size(access.directoryFile(), ec)), "byte",
                        "bytes") +
           ", ";
  }
  dir += describe(state);
  if (state != DirectoryFileState::kFresh) dir += "; rebuilt from the records when opened";
  line(context.out, "Directory file:", dir + ")");

  DirectoryStats stats = DirectoryStats::of(db->directory);
  line(context.out, "Locations:", std::to_string(stats.locations));
  line(context.out, "Continents:", std::to_string(stats.continents));
  line(context.out, "Countries:", std::to_string(stats.countries));
  line(context.out, "States:", std::to_string(stats.states));
  if (records > stats.locations) {
    context.out << "Note: " << text::plural(records - stats.locations, "record", "records")
                << " of the data file may be referred to by no location; \"metdb check\" "
                   "tells, \"metdb compact\" drops them.\n";
  }
  if (!stats.duplicateGroups.empty()) {
    context.out << "Note: "
                << text::plural(static_cast<long>(stats.duplicateGroups.size()), "group occurs",
                                "groups occur")
                << " more than once; \"metdb compact\" regroups the data file.\n";
  }
  return kExitOk;
}

}  // namespace

void addInfoCommand(CLI::App* app, ToolContext* context) {
  CLI::App* command = app->add_subcommand(
      "info", "Describe the database and its two files, and say why it is the one");
  command->footer(
      "The database is the one --db names, else the one METDB_DB names, else the\n"
      "library's configured one (ORVANE.INI beside libmetdb.so); the first line\n"
      "says which.\n"
      "\n"
      "Examples:\n"
      "  metdb --db stations.bmt info\n"
      "  METDB_DB=stations.bmt metdb info");
  context->addCommand(command, [context] { return info(*context); });
}

}  // namespace metdb
