#ifndef METDB_DATAFILE_INFODEVICE_H_
#define METDB_DATAFILE_INFODEVICE_H_

#include "directory/VELDstring.h"
#include "platform/Export.h"

// The host's sink for the progress and the closing report of an import
// (BMTFile::merge). The host implements it; the library only calls finish,
// showText, showLocation and showNumber. The virtual operations keep this
// slot order: the destructor, then start, finish, showProgress, showText,
// clear, showLocation, showNumber. Every text argument is a temporary that
// lives only for the duration of the call; results are not used. The host
// owns the object: the library neither keeps nor deletes it.
class METDB_EXPORT InfoDevice {
 public:
  virtual ~InfoDevice();
  // Never called by the library; for the host's own use.
  virtual void start() {}
  // Called once when an import has ended, before its closing report.
  virtual void finish() = 0;
  // Never called by the library; for the host's own use.
  virtual void showProgress(long /*value*/) {}
  // A line of the closing report; line -1 is its heading.
  virtual void showText(const VELDstring& text, int line) = 0;
  // Never called by the library; for the host's own use.
  virtual void clear() {}
  // Called for every record the import handles, with its names.
  virtual void showLocation(const VELDstring& continent, const VELDstring& country,
                            const VELDstring& state, const VELDstring& location) = 0;
  // A number of the closing report, beside the text of the same line.
  virtual void showNumber(long value, int line) = 0;
};

#endif  // METDB_DATAFILE_INFODEVICE_H_
