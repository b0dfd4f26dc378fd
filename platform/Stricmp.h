#ifndef METDB_PLATFORM_STRICMP_H_
#define METDB_PLATFORM_STRICMP_H_

namespace platform {

// Compares two NUL-terminated strings ignoring ASCII letter case: 'A'-'Z'
// fold to 'a'-'z', every other byte compares as itself, bytes as unsigned.
// Never depends on the locale. Returns <0, 0 or >0 as a sorts before, equal
// to or after b.
int stricmp(const char* a, const char* b);

}  // namespace platform

#endif  // METDB_PLATFORM_STRICMP_H_
