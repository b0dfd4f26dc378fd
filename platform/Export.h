#ifndef METDB_PLATFORM_EXPORT_H_
#define METDB_PLATFORM_EXPORT_H_

// Marks the classes and functions that libmetdb.so exports to host programs.
// Everything else is built with hidden visibility.
#define METDB_EXPORT __attribute__((visibility("default")))

#endif  // METDB_PLATFORM_EXPORT_H_
