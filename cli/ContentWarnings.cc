#include "cli/ContentWarnings.h"

#include "tool/Error.h"
#include "tool/places/CountryCheck.h"

namespace metdb {

ContentCheckOptions contentCheckOptions(ToolContext& context) {
  ContentCheckOptions options;
  try {
    options.kmOutsideCountry = makeCountryDistance();
  } catch (const Error& e) {
    context.warning("positions are not checked against their countries: " + std::string(e.what()));
  }
  return options;
}

void warnAboutContent(Database& access, ToolContext& context, bool duplicatesKept) {
  ContentCheckOptions options = contentCheckOptions(context);
  options.exactDuplicates = !duplicatesKept;
  for (const Finding& f : checkContent(access, options)) {
    if (f.kind != Finding::kFault) continue;
    std::string sentence = f.what;
    if (!f.examples.empty()) sentence += ", such as " + f.examples.front();
    context.warning(sentence + " (\"metdb check --content\" lists them).");
  }
}

}  // namespace metdb
