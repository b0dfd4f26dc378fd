#ifndef METDB_PLATFORM_PROFILE_H_
#define METDB_PLATFORM_PROFILE_H_

#include <cstddef>

namespace platform {

// Reads a value from a profile file of "[Section]" headers, each followed by
// "key=value" lines. Section and key names match ignoring ASCII case; the
// first matching section and, within it, the first matching key win. White
// space around keys and values is trimmed; a value wholly in double quotes
// loses them; lines starting with ';' are comments; LF and CR LF line ends
// are accepted. A missing file, section or key yields def; a present but
// empty value yields "". The result is copied into out (size bytes, so at
// most size - 1 characters and the terminator; a longer value is cut).
// Returns the number of characters copied. size 0 copies nothing.
// A null def counts as ""; a null section, key or file name, and a file that
// cannot be read or is not a regular file, yield def.
std::size_t getPrivateProfileString(const char* section, const char* key, const char* def,
                                    char* out, std::size_t size, const char* fileName);

}  // namespace platform

#endif  // METDB_PLATFORM_PROFILE_H_
