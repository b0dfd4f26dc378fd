#include "tool/places/OutlineFile.h"

#include <cstdint>
#include <cstring>
#include <istream>
#include <iterator>

#include "tool/DataFolder.h"
#include "tool/Error.h"
#include "tool/text/InputFile.h"
#include "tool/text/Text.h"

namespace metdb {

namespace {

const char kMagic[8] = {'m', 'e', 't', 'd', 'b', 'g', 'e', 'o'};
const std::uint32_t kVersion = 1;
const std::uint32_t kHoleFlag = 0x80000000u;
const double kUnitsPerDegree = 100000.0;

// Reads the file's little-endian fields, checking that each lies within it.
class Bytes {
 public:
  Bytes(const std::string& bytes, const std::string& path) : bytes_(bytes), path_(path) {}

  std::size_t left() const { return bytes_.size() - at_; }

  const char* take(std::size_t size) {
    if (size > left()) damaged("it ends in the middle of an outline");
    const char* data = bytes_.data() + at_;
    at_ += size;
    return data;
  }

  std::uint32_t u32() {
    const unsigned char* b = reinterpret_cast<const unsigned char*>(take(4));
    return b[0] | b[1] << 8 | b[2] << 16 | static_cast<std::uint32_t>(b[3]) << 24;
  }
  std::uint16_t u16() {
    const unsigned char* b = reinterpret_cast<const unsigned char*>(take(2));
    return static_cast<std::uint16_t>(b[0] | b[1] << 8);
  }
  std::uint8_t u8() { return static_cast<std::uint8_t>(*take(1)); }
  std::int32_t i32() { return static_cast<std::int32_t>(u32()); }

  [[noreturn]] void damaged(const std::string& what) const {
    throw Error("The outline file " + text::quoted(path_) + " is damaged: " + what + ".",
                Error::Cause::kDamaged);
  }

 private:
  const std::string& bytes_;
  const std::string& path_;
  std::size_t at_ = 0;
};

std::string folderFile(const char* kind, OutlineScale scale) {
  return dataFolder() + "/geo/" + kind + (scale == OutlineScale::k110m ? "-110m" : "-50m") + ".bin";
}

}  // namespace

std::vector<Outline> readOutlines(const std::string& path) {
  InputFile input(path);  // throws Error naming path when it cannot
  std::istream in(&input);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad() || !input.fault().empty())
    throw Error("Cannot read the outline file " + text::quoted(path) + ".", Error::Cause::kSystem);
  if (bytes.size() < 8 || std::memcmp(bytes.data(), kMagic, 8) != 0) {
    throw Error("The file " + text::quoted(path) + " is no outline file.", Error::Cause::kDamaged);
  }
  Bytes file(bytes, path);
  file.take(8);
  std::uint32_t version = file.u32();
  if (version != kVersion) {
    throw Error("The outline file " + text::quoted(path) + " is of version " +
                    std::to_string(version) + ", which this program cannot read.",
                Error::Cause::kDamaged);
  }
  std::uint32_t count = file.u32();
  std::vector<Outline> outlines;
  for (std::uint32_t i = 0; i < count; ++i) {
    Outline outline;
    const char* code = file.take(2);
    outline.iso2.assign(code, code[0] == '\0' ? 0 : 2);
    outline.numeric = file.u16();
    std::uint8_t nameSize = file.u8();
    outline.name.assign(file.take(nameSize), nameSize);
    std::uint32_t rings = file.u32();
    for (std::uint32_t r = 0; r < rings; ++r) {
      std::uint32_t header = file.u32();
      OutlineRing ring;
      ring.hole = (header & kHoleFlag) != 0;
      std::uint32_t points = header & ~kHoleFlag;
      if (points < 3) file.damaged("a ring has fewer than three points");
      if (points > file.left() / 8) file.damaged("it ends in the middle of a ring");
      if (r == 0 && ring.hole) file.damaged("an outline begins with a hole");
      ring.points.reserve(points);
      for (std::uint32_t p = 0; p < points; ++p) {
        std::int32_t x = file.i32();
        std::int32_t y = file.i32();
        if (x < -18000000 || x > 18000000 || y < -9000000 || y > 9000000) {
          file.damaged("a point lies off the globe");
        }
        ring.points.push_back({x / kUnitsPerDegree, y / kUnitsPerDegree});
      }
      outline.rings.push_back(std::move(ring));
    }
    outlines.push_back(std::move(outline));
  }
  if (file.left() != 0) file.damaged("bytes follow the last outline");
  return outlines;
}

std::string countryOutlinesPath(OutlineScale scale) { return folderFile("countries", scale); }

std::string landOutlinesPath(OutlineScale scale) { return folderFile("land", scale); }

std::string extraCountryOutlinesPath() { return dataFolder() + "/geo/countries-extra.bin"; }

}  // namespace metdb
