#ifndef METDB_TOOL_CHECKPOINT_H_
#define METDB_TOOL_CHECKPOINT_H_

namespace metdb {

// Long work (walks, imports, reading station lists) calls checkPoint() once
// per item, so that the program can stop it: the hook it sets may throw,
// and the work then unwinds like any failure, removing what it made.
using CheckPointHook = void (*)();

// Sets the hook for the whole process (null: none, the default).
void setCheckPointHook(CheckPointHook hook);

// Calls the hook, if any. Cheap.
void checkPoint();

}  // namespace metdb

#endif  // METDB_TOOL_CHECKPOINT_H_
