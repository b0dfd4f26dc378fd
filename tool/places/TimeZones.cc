#include "tool/places/TimeZones.h"

#include <algorithm>
#include <sstream>

#include "tool/DataFolder.h"
#include "tool/Error.h"
#include "tool/places/DataTable.h"
#include "tool/text/InputFile.h"
#include "tool/text/Text.h"

namespace metdb {

namespace {

constexpr char kMagic[8] = {'m', 'e', 't', 'd', 'b', 't', 'z', '\0'};
constexpr std::uint16_t kLeaf = 0x8000;      // an entry with this bit is a leaf,
constexpr std::uint16_t kZoneMask = 0x7FFF;  // the zone's number in the rest
const char kTableHeader[] = "zone\tcanonical\tcountries";

// Little-endian numbers and strings from the bytes of a file, failing with
// the file's name when they run out.
class Bytes {
 public:
  Bytes(std::string data, std::string path) : data_(std::move(data)), path_(std::move(path)) {}

  std::uint32_t u32() {
    const unsigned char* p = take(4);
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
           std::uint32_t{p[3]} << 24;
  }
  std::uint16_t u16() {
    const unsigned char* p = take(2);
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
  }
  std::uint8_t u8() { return *take(1); }
  std::string text(std::size_t n) {
    const unsigned char* p = take(n);
    return std::string(reinterpret_cast<const char*>(p), n);
  }
  bool atEnd() const { return at_ == data_.size(); }

  [[noreturn]] void fail(const std::string& what) const {
    throw Error("The time-zone grid " + text::quoted(path_) + " is damaged: " + what + ".",
                Error::Cause::kDamaged);
  }

 private:
  const unsigned char* take(std::size_t n) {
    if (data_.size() - at_ < n) fail("it ends early");
    const unsigned char* p = reinterpret_cast<const unsigned char*>(data_.data()) + at_;
    at_ += n;
    return p;
  }

  std::string data_;
  std::string path_;
  std::size_t at_ = 0;
};

std::string readFile(const std::string& path, const char* what) {
  std::string data;
  try {
    InputFile in(path);
    data.assign(std::istreambuf_iterator<char>(&in), std::istreambuf_iterator<char>());
    if (in.fault().empty()) return data;
  } catch (const Error&) {
  }
  throw Error("Cannot read the " + std::string(what) + " " + text::quoted(path) + ".",
              Error::Cause::kSystem);
}

}  // namespace

TimeZones TimeZones::read(const std::string& folder) {
  TimeZones zones;
  std::string gridPath = folder + "/timezones.bin";
  Bytes in(readFile(gridPath, "time-zone grid"), gridPath);
  if (in.text(sizeof kMagic) != std::string(kMagic, sizeof kMagic)) {
    in.fail("it does not begin as a time-zone grid");
  }
  if (in.u32() != 1) in.fail("its version is not 1");
  zones.columns_ = in.u32();
  zones.rows_ = in.u32();
  if (zones.columns_ == 0 || zones.rows_ == 0 || zones.columns_ > 4096 || zones.rows_ > 4096) {
    in.fail("the number of root tiles is out of range");
  }
  std::uint32_t names = in.u32();
  if (names == 0 || names >= kLeaf) in.fail("the number of zones is out of range");
  for (std::uint32_t i = 0; i < names; ++i) zones.names_.push_back(in.text(in.u8()));
  std::uint32_t cells = in.u32();
  std::size_t roots = std::size_t{zones.columns_} * zones.rows_;
  if (cells < roots || (cells - roots) % 4 != 0) in.fail("the number of entries is wrong");
  zones.cells_.reserve(cells);
  for (std::uint32_t i = 0; i < cells; ++i) {
    std::uint16_t cell = in.u16();
    // A child comes after its parent, so that a lookup always ends.
    long parent = i < roots ? -1 : static_cast<long>((i - roots) / 4);
    if (cell & kLeaf ? static_cast<std::uint32_t>(cell & kZoneMask) >= names
                     : cell <= parent || roots + 4 * std::size_t{cell} + 3 >= cells) {
      in.fail("entry " + std::to_string(i) + " points outside the tree");
    }
    zones.cells_.push_back(cell);
  }
  if (!in.atEnd()) in.fail("it goes on after the last entry");

  std::string tablePath = folder + "/zones.tsv";
  auto zone = [&](const std::vector<std::string>& fields, const TableFault& fail) {
    if (fields[0].empty() || fields[1].empty()) fail("a name is empty");
    Zone read{fields[1], {}};
    if (!fields[2].empty()) read.countries = text::split(fields[2], ',');
    if (!zones.zones_.emplace(fields[0], std::move(read)).second) {
      fail(text::quoted(fields[0]) + " is there twice");
    }
  };
  readDataTable(tablePath, "time-zone table", kTableHeader, zone);
  if (zones.zones_.empty()) {
    throw Error("The time-zone table " + text::quoted(tablePath) + " holds no zones.",
                Error::Cause::kDamaged);
  }
  for (const auto& z : zones.zones_) {
    if (z.first != z.second.canonical) continue;  // a link adds no zone
    for (const std::string& c : z.second.countries) zones.byCountry_[c].push_back(z.first);
  }
  for (auto& c : zones.byCountry_) std::sort(c.second.begin(), c.second.end());
  return zones;
}

const TimeZones& TimeZones::standard() {
  static const TimeZones zones = read(dataFolder() + "/tz");
  return zones;
}

const std::string& TimeZones::zoneAt(double latitude, double longitude) const {
  static const std::string kNone, kPole = "Etc/GMT";
  if (!(latitude >= -90.0 && latitude <= 90.0 && longitude >= -180.0 && longitude <= 180.0)) {
    return kNone;
  }
  if (latitude >= 90.0) return kPole;
  // The root tiles span the globe from the north-west; each inner node
  // splits its square into four, north-west first. The divisors keep the
  // east edge and the south pole within the last tile.
  double x = columns_ * (180.0 + longitude) / 360.00000000000006;
  double y = rows_ * (90.0 - latitude) / 180.00000000000003;
  std::size_t column = std::min<std::size_t>(static_cast<std::size_t>(x), columns_ - 1);
  std::size_t row = std::min<std::size_t>(static_cast<std::size_t>(y), rows_ - 1);
  std::uint16_t cell = cells_[row * columns_ + column];
  const std::size_t roots = std::size_t{columns_} * rows_;
  while (!(cell & kLeaf)) {
    x = 2.0 * (x - static_cast<double>(column));
    y = 2.0 * (y - static_cast<double>(row));
    column = static_cast<std::size_t>(x);
    row = static_cast<std::size_t>(y);
    cell = cells_[roots + 4 * std::size_t{cell} + 2 * row + column];
  }
  return names_[cell & kZoneMask];
}

bool TimeZones::isOfCountry(const std::string& zone, const std::string& iso2) const {
  auto found = zones_.find(zone);
  if (found == zones_.end()) return false;
  const std::vector<std::string>& countries = found->second.countries;
  return std::find(countries.begin(), countries.end(), text::asciiUpper(iso2)) != countries.end();
}

std::string TimeZones::canonical(const std::string& zone) const {
  auto found = zones_.find(zone);
  return found == zones_.end() ? std::string() : found->second.canonical;
}

const std::vector<std::string>& TimeZones::countriesOf(const std::string& zone) const {
  static const std::vector<std::string> kNone;
  auto found = zones_.find(zone);
  return found == zones_.end() ? kNone : found->second.countries;
}

const std::vector<std::string>& TimeZones::zonesOf(const std::string& iso2) const {
  static const std::vector<std::string> kNone;
  auto found = byCountry_.find(text::asciiUpper(iso2));
  return found == byCountry_.end() ? kNone : found->second;
}

std::string timeZoneAt(double latitude, double longitude) {
  return TimeZones::standard().zoneAt(latitude, longitude);
}

bool isTimeZoneOfCountry(const std::string& zone, const std::string& iso2) {
  return TimeZones::standard().isOfCountry(zone, iso2);
}

std::string canonicalTimeZone(const std::string& zone) {
  return TimeZones::standard().canonical(zone);
}

}  // namespace metdb
