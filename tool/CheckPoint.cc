#include "tool/CheckPoint.h"

namespace metdb {

namespace {
CheckPointHook currentHook = nullptr;
}  // namespace

void setCheckPointHook(CheckPointHook hook) { currentHook = hook; }

void checkPoint() {
  if (currentHook != nullptr) currentHook();
}

}  // namespace metdb
