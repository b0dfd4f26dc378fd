#ifndef METDB_TOOL_PLACES_DATATABLE_H_
#define METDB_TOOL_PLACES_DATATABLE_H_

#include <functional>
#include <string>
#include <vector>

namespace metdb {

// Reports a fault of a table's row: throws Error naming the table, its file
// and the line, with what is wrong.
using TableFault = std::function<void(const std::string& what)>;

// Reads one of the project's tab-separated data tables (UTF-8, LF or CRLF
// line ends, lines beginning with '#' and empty lines skipped, then a
// header line, then rows), calling row with the fields of each row in
// order. what names the table in messages ("time-zone table"). Throws
// Error naming the file when it cannot be read, the header is not header,
// a row has another number of fields than the header, or row calls its
// fault; a table without rows is no fault.
void readDataTable(const std::string& path, const std::string& what, const std::string& header,
                   const std::function<void(const std::vector<std::string>& fields,
                                            const TableFault& fault)>& row);

}  // namespace metdb

#endif  // METDB_TOOL_PLACES_DATATABLE_H_
