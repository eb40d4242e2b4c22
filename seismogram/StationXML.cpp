#include "seismogram/StationXML.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QXmlStreamReader>

#include <cctype>
#include <cmath>
#include <filesystem>
#include <system_error>
#include <utility>

#include "seismogram/Calendar.h"

namespace orvane {
namespace {

// Days from 1970-01-01 to the given day of the proleptic Gregorian calendar.
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const auto yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

// Reads @p count digits at @p at into @p value.
bool Digits(const std::string& s, std::size_t& at, int count, int& value) {
  if (at + count > s.size()) return false;
  value = 0;
  for (int i = 0; i < count; ++i) {
    const char c = s[at + i];
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  at += count;
  return true;
}

bool Expect(const std::string& s, std::size_t& at, char c) {
  if (at >= s.size() || s[at] != c) return false;
  ++at;
  return true;
}

std::string Text(const QString& s) { return s.toStdString(); }

std::string Where(const QXmlStreamReader& xml) { return " (line " + std::to_string(xml.lineNumber()) + ")"; }

// The text of the current element as a number; false for one that is not.
bool ReadNumber(QXmlStreamReader& xml, std::optional<double>& value, std::string& reason) {
  const QString name = xml.name().toString();
  const QString text = xml.readElementText(QXmlStreamReader::SkipChildElements).trimmed();
  bool ok = false;
  const double v = text.toDouble(&ok);
  if (!ok || !std::isfinite(v)) {
    reason = "the " + Text(name) + " '" + Text(text.left(40)) + "' is not a number" + Where(xml);
    return false;
  }
  value = v;
  return true;
}

bool ReadTimeAttribute(QXmlStreamReader& xml, const char* name, std::optional<MicroTime>& value,
                       std::string& reason) {
  const auto attributes = xml.attributes();
  if (!attributes.hasAttribute(QLatin1String(name))) return true;
  const std::string text = Text(attributes.value(QLatin1String(name)).toString().trimmed());
  value = ParseIsoTime(text);
  if (!value) {
    reason = std::string("the ") + name + " '" + text.substr(0, 40) + "' is not a time" + Where(xml);
    return false;
  }
  return true;
}

// A position the formats allow, or none; an elevation or depth beyond
// 100 km is none either.
void KeepInRange(StationEpoch& e) {
  if (e.latitude && std::fabs(*e.latitude) > 90.0) e.latitude.reset();
  if (e.longitude && std::fabs(*e.longitude) > 180.0) e.longitude.reset();
  if (e.elevation && std::fabs(*e.elevation) > 1.0e5) e.elevation.reset();
  if (e.depth && std::fabs(*e.depth) > 1.0e5) e.depth.reset();
}

class StationXmlReader {
 public:
  StationXmlReader(QXmlStreamReader& xml, std::string source) : xml_(xml), source_(std::move(source)) {}

  // At the root element.
  bool Read(StationInventory& out, std::string& reason) {
    const QString version = xml_.attributes().value(QLatin1String("schemaVersion")).toString().trimmed();
    if (!version.isEmpty() && !version.startsWith(QLatin1String("1."))) {
      reason = "StationXML schema version " + Text(version.left(20)) + " is not read (1.x is)";
      return false;
    }
    while (xml_.readNextStartElement()) {
      if (xml_.name() == QLatin1String("Network")) {
        if (!ReadNetwork(out, reason)) return false;
      } else {
        xml_.skipCurrentElement();
      }
    }
    return true;
  }

 private:
  bool ReadNetwork(StationInventory& out, std::string& reason) {
    const std::string network = Text(xml_.attributes().value(QLatin1String("code")).toString().trimmed());
    while (xml_.readNextStartElement()) {
      if (xml_.name() == QLatin1String("Station")) {
        if (!ReadStation(network, out, reason)) return false;
      } else {
        xml_.skipCurrentElement();
      }
    }
    return true;
  }

  bool ReadStation(const std::string& network, StationInventory& out, std::string& reason) {
    StationEpoch station;
    station.network = network;
    station.station = Text(xml_.attributes().value(QLatin1String("code")).toString().trimmed());
    station.source = source_;
    if (!ReadTimeAttribute(xml_, "startDate", station.start, reason) ||
        !ReadTimeAttribute(xml_, "endDate", station.end, reason))
      return false;
    while (xml_.readNextStartElement()) {
      const auto name = xml_.name();
      bool ok = true;
      if (name == QLatin1String("Latitude")) {
        ok = ReadNumber(xml_, station.latitude, reason);
      } else if (name == QLatin1String("Longitude")) {
        ok = ReadNumber(xml_, station.longitude, reason);
      } else if (name == QLatin1String("Elevation")) {
        ok = ReadNumber(xml_, station.elevation, reason);
      } else if (name == QLatin1String("Channel")) {
        ok = ReadChannel(station, out, reason);
      } else {
        xml_.skipCurrentElement();
      }
      if (!ok) return false;
    }
    KeepInRange(station);
    out.stations.push_back(std::move(station));
    return true;
  }

  bool ReadChannel(const StationEpoch& station, StationInventory& out, std::string& reason) {
    StationEpoch channel;
    channel.network = station.network;
    channel.station = station.station;
    channel.channel = Text(xml_.attributes().value(QLatin1String("code")).toString().trimmed());
    channel.location = Text(xml_.attributes().value(QLatin1String("locationCode")).toString().trimmed());
    // "--" is how some files write the empty location code.
    if (channel.location == "--") channel.location.clear();
    channel.source = source_;
    if (!ReadTimeAttribute(xml_, "startDate", channel.start, reason) ||
        !ReadTimeAttribute(xml_, "endDate", channel.end, reason))
      return false;
    while (xml_.readNextStartElement()) {
      const auto name = xml_.name();
      bool ok = true;
      if (name == QLatin1String("Latitude")) {
        ok = ReadNumber(xml_, channel.latitude, reason);
      } else if (name == QLatin1String("Longitude")) {
        ok = ReadNumber(xml_, channel.longitude, reason);
      } else if (name == QLatin1String("Elevation")) {
        ok = ReadNumber(xml_, channel.elevation, reason);
      } else if (name == QLatin1String("Depth")) {
        ok = ReadNumber(xml_, channel.depth, reason);
      } else {
        xml_.skipCurrentElement();
      }
      if (!ok) return false;
    }
    KeepInRange(channel);
    out.channels.push_back(std::move(channel));
    return true;
  }

  QXmlStreamReader& xml_;
  std::string source_;
};

struct QuakeOrigin {
  std::string id;
  std::optional<MicroTime> time;
  std::optional<double> latitude, longitude, depth;
};

class QuakeMlReader {
 public:
  explicit QuakeMlReader(QXmlStreamReader& xml) : xml_(xml) {}

  // At the root element. The first event that has an origin gives it.
  bool Read(std::optional<QuakeOrigin>& origin, std::string& reason) {
    while (xml_.readNextStartElement()) {
      if (xml_.name() != QLatin1String("eventParameters")) {
        xml_.skipCurrentElement();
        continue;
      }
      while (xml_.readNextStartElement()) {
        if (xml_.name() == QLatin1String("event") && !origin) {
          if (!ReadEvent(origin, reason)) return false;
        } else {
          xml_.skipCurrentElement();
        }
      }
    }
    return true;
  }

 private:
  bool ReadEvent(std::optional<QuakeOrigin>& chosen, std::string& reason) {
    std::string preferred;
    std::vector<QuakeOrigin> origins;
    while (xml_.readNextStartElement()) {
      if (xml_.name() == QLatin1String("preferredOriginID")) {
        preferred = Text(xml_.readElementText(QXmlStreamReader::SkipChildElements).trimmed());
      } else if (xml_.name() == QLatin1String("origin")) {
        QuakeOrigin o;
        if (!ReadOrigin(o, reason)) return false;
        origins.push_back(std::move(o));
      } else {
        xml_.skipCurrentElement();
      }
    }
    for (const QuakeOrigin& o : origins) {
      if (!preferred.empty() && o.id == preferred) chosen = o;
    }
    if (!chosen && !origins.empty()) chosen = origins.front();
    return true;
  }

  bool ReadOrigin(QuakeOrigin& o, std::string& reason) {
    o.id = Text(xml_.attributes().value(QLatin1String("publicID")).toString().trimmed());
    while (xml_.readNextStartElement()) {
      const QString name = xml_.name().toString();
      const bool quantity = name == QLatin1String("time") || name == QLatin1String("latitude") ||
                            name == QLatin1String("longitude") || name == QLatin1String("depth");
      if (!quantity) {
        xml_.skipCurrentElement();
        continue;
      }
      // <time><value>...</value><uncertainty>...</uncertainty></time>
      while (xml_.readNextStartElement()) {
        if (xml_.name() != QLatin1String("value")) {
          xml_.skipCurrentElement();
          continue;
        }
        if (name == QLatin1String("time")) {
          const std::string text = Text(xml_.readElementText(QXmlStreamReader::SkipChildElements).trimmed());
          o.time = ParseIsoTime(text);
          if (!o.time) {
            reason = "the origin time '" + text.substr(0, 40) + "' is not a time" + Where(xml_);
            return false;
          }
        } else {
          std::optional<double>& slot = name == QLatin1String("latitude")    ? o.latitude
                                        : name == QLatin1String("longitude") ? o.longitude
                                                                             : o.depth;
          if (!ReadNumber(xml_, slot, reason)) return false;
        }
      }
    }
    return true;
  }

  QXmlStreamReader& xml_;
};

}  // namespace

bool LooksLikeXml(std::span<const unsigned char> bytes) {
  std::size_t at = 0;
  if (bytes.size() >= 3 && bytes[0] == 0xef && bytes[1] == 0xbb && bytes[2] == 0xbf) at = 3;
  while (at < bytes.size() && std::isspace(bytes[at])) ++at;
  return at < bytes.size() && bytes[at] == '<';
}

std::optional<MicroTime> ParseIsoTime(const std::string& text) {
  std::size_t at = 0;
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  if (!Digits(text, at, 4, year) || !Expect(text, at, '-') || !Digits(text, at, 2, month) ||
      !Expect(text, at, '-') || !Digits(text, at, 2, day))
    return std::nullopt;
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12 || day < 1 || day > kDays[month - 1] + (month == 2 && IsLeapYear(year))) return std::nullopt;
  std::int64_t micro = 0;
  if (at < text.size() && (text[at] == 'T' || text[at] == ' ')) {
    ++at;
    if (!Digits(text, at, 2, hour) || !Expect(text, at, ':') || !Digits(text, at, 2, minute)) return std::nullopt;
    if (at < text.size() && text[at] == ':') {
      ++at;
      if (!Digits(text, at, 2, second)) return std::nullopt;
      if (at < text.size() && (text[at] == '.' || text[at] == ',')) {
        ++at;
        int digits = 0;
        while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at]))) {
          if (digits < 6) micro = micro * 10 + (text[at] - '0');
          ++digits;
          ++at;
        }
        if (digits == 0) return std::nullopt;
        for (; digits < 6; ++digits) micro *= 10;
      }
    }
    if (hour > 23 || minute > 59 || second > 60) return std::nullopt;
  }
  std::int64_t offsetMinutes = 0;
  if (at < text.size() && text[at] == 'Z') {
    ++at;
  } else if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
    const int sign = text[at] == '-' ? -1 : 1;
    ++at;
    int oh = 0, om = 0;
    if (!Digits(text, at, 2, oh)) return std::nullopt;
    if (at < text.size() && text[at] == ':') ++at;
    if (at < text.size() && !Digits(text, at, 2, om)) return std::nullopt;
    if (oh > 23 || om > 59) return std::nullopt;
    offsetMinutes = sign * (oh * 60 + om);
  }
  if (at != text.size()) return std::nullopt;
  const std::int64_t seconds =
      DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) * 86400 + hour * 3600 +
      minute * 60 + second - offsetMinutes * 60;
  return seconds * 1'000'000 + micro;
}

bool ParseEventXml(std::span<const unsigned char> bytes, const std::string& source, StationInventory& inventory,
                   std::string& reason) {
  const QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()),
                                                  static_cast<qsizetype>(bytes.size()));
  QXmlStreamReader xml(data);
  if (!xml.readNextStartElement()) {
    reason = xml.hasError() ? "not well-formed XML: " + Text(xml.errorString()) + Where(xml)
                            : std::string("the XML document has no element");
    return false;
  }
  StationInventory found;
  std::optional<QuakeOrigin> origin;
  bool quakeml = false;
  if (xml.name() == QLatin1String("FDSNStationXML")) {
    if (!StationXmlReader(xml, source).Read(found, reason)) return false;
  } else if (xml.name() == QLatin1String("quakeml")) {
    quakeml = true;
    if (!QuakeMlReader(xml).Read(origin, reason)) return false;
  } else {
    reason = "neither FDSN StationXML nor QuakeML: the document's root element is <" +
             Text(xml.name().toString().left(40)) + ">";
    return false;
  }
  // Whatever follows the root element must be well-formed too.
  while (!xml.atEnd()) xml.readNext();
  if (xml.hasError()) {
    reason = "not well-formed XML: " + Text(xml.errorString()) + Where(xml);
    return false;
  }
  if (quakeml) {
    if (!origin || !origin->time || !origin->latitude || !origin->longitude) {
      reason = "the QuakeML file holds no event origin with a time, a latitude and a longitude";
      return false;
    }
    if (std::fabs(*origin->latitude) > 90.0 || std::fabs(*origin->longitude) > 180.0) {
      reason = "the QuakeML origin's latitude or longitude is out of range";
      return false;
    }
    EventOrigin o;
    o.time = *origin->time;
    o.latitude = *origin->latitude;
    o.longitude = *origin->longitude;
    // Deeper than the Earth's centre is no depth.
    if (origin->depth && std::fabs(*origin->depth) <= 6.4e6) o.depth = origin->depth;
    o.source = source;
    inventory.origin = o;
  }
  inventory.channels.insert(inventory.channels.end(), found.channels.begin(), found.channels.end());
  inventory.stations.insert(inventory.stations.end(), found.stations.begin(), found.stations.end());
  return true;
}

bool ReadEventXmlFile(const std::string& path, StationInventory& inventory, std::string& reason) {
  std::error_code ec;
  const auto status = std::filesystem::status(path, ec);
  if (!std::filesystem::exists(status)) {
    reason = "the file cannot be opened";
    return false;
  }
  if (!std::filesystem::is_regular_file(status)) {
    reason = std::filesystem::is_directory(status) ? "the path is a directory, not a file"
                                                   : "not a regular file (a FIFO, a device or a socket)";
    return false;
  }
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly)) {
    reason = "the file cannot be opened";
    return false;
  }
  if (file.size() > kMaxEventXmlBytes) {
    reason = "the file is larger than " + std::to_string(kMaxEventXmlBytes >> 20) + " MB";
    return false;
  }
  const QByteArray bytes = file.read(kMaxEventXmlBytes + 1);
  if (file.error() != QFileDevice::NoError) {
    reason = "the file cannot be read";
    return false;
  }
  return ParseEventXml(std::span<const unsigned char>(reinterpret_cast<const unsigned char*>(bytes.constData()),
                                                      static_cast<std::size_t>(bytes.size())),
                       path, inventory, reason);
}

}  // namespace orvane
