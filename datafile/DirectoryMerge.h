#ifndef METDB_DATAFILE_DIRECTORYMERGE_H_
#define METDB_DATAFILE_DIRECTORYMERGE_H_

#include <memory>
#include <string>
#include <vector>

#include "datafile/DatabaseState.h"
#include "directory/Directory.h"

// Joins two processes' edits of one directory. saved is the directory file
// as another process saved it; mine is this process's directory, which
// started from the locations whose record indices are baseline.
// Record indices tell locations apart: appends to one data file never hand
// out an index twice. The result holds the locations of saved but those
// that mine deleted (in baseline, gone from mine), and the locations that
// mine added (not in baseline, nor already in saved), every group once, for
// the file name and home folder of mine (the current directory must be that
// home). Neither argument changes.
std::unique_ptr<Directory> mergeDirectoryEdits(Directory& saved, Directory& mine,
                                               const RecordIndexSet& baseline);

// Enters a copy of location, under the names of its continent, country and
// state, into d with addOrderedEntry, keeping its record index, level and
// position. previous is addOrderedEntry's note of the entry before: blank for
// the first call on d, then the same object each time.
void enterLocationCopy(Directory* d, const std::string& continent, const std::string& country,
                       const std::string& state, const Location& location, LocationData& previous);

#endif  // METDB_DATAFILE_DIRECTORYMERGE_H_
