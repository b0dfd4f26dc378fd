#include "tool/web/WebExchange.h"

#include "tool/record/RecordJson.h"

namespace metdb {

WebResponse errorResponse(int status, const std::string& code, const std::string& description) {
  WebResponse r;
  r.status = status;
  r.body = dumpJson({{"code", code}, {"description", description}}, -1);
  return r;
}

}  // namespace metdb
