#ifndef METDB_TOOL_WEB_PAGEFILES_H_
#define METDB_TOOL_WEB_PAGEFILES_H_

#include <map>
#include <string>

#include "tool/web/WebExchange.h"

namespace metdb {

// The map page's files, read into memory once from the data folder's web/
// (the page, its script and style, Leaflet) together with the countries'
// outlines as GeoJSON (made from the data folder's Natural Earth outlines),
// and served by their names only: no path of a request ever reaches the
// file system.
class PageFiles {
 public:
  // Reads the files from folder (dataFolder() + "/web"); a file that is
  // missing is left out (the API works without the page). The outlines come
  // from the data folder's 1:110 million countries.
  explicit PageFiles(const std::string& folder);

  // The file at a request's path ("/" is the page, "/map/leaflet.js", ...);
  // false when there is none.
  bool find(const std::string& path, WebResponse* response) const;

 private:
  std::map<std::string, WebResponse> files_;
};

}  // namespace metdb

#endif  // METDB_TOOL_WEB_PAGEFILES_H_
