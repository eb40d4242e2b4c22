#pragma once
// The XML files that come with a data-centre download, read with Qt's
// QXmlStreamReader (this is the one part of seismogram/ that uses Qt, and
// only Qt Core):
//
//   - FDSN StationXML, schema 1.x (1.1 and 1.2 among them): for every
//     Network/Station and Network/Station/Channel its epoch (startDate,
//     endDate) and its Latitude, Longitude and Elevation (Channel: also
//     Depth). Everything else in the file is passed over.
//   - QuakeML 1.2: the first event's preferred origin (or, without one, its
//     first origin): time, latitude, longitude and depth.
//
// Times are ISO 8601 in UTC ("2024-02-29T10:11:12.1234Z"; a time without a
// zone is UTC too, as the formats define). The interface is plain C++.

#include <optional>
#include <span>
#include <string>

#include "seismogram/StationInventory.h"

namespace orvane {

/// @brief true when @p bytes look like an XML document (optional byte-order
/// mark and blanks, then '<').
bool LooksLikeXml(std::span<const unsigned char> bytes);

/// @brief An ISO 8601 UTC time as microseconds since 1970: "2024-02-29",
/// "2024-02-29T10:11:12", "2024-02-29T10:11:12.1234567Z", "...+01:00".
/// Fractions beyond the microsecond are cut. Nothing for any other text or
/// an impossible date.
std::optional<MicroTime> ParseIsoTime(const std::string& text);

/// @brief Adds what the StationXML or QuakeML document @p bytes says to
/// @p inventory; @p source names the file in the entries.
/// @return false, with @p reason and nothing added, for a document that is
/// not well-formed XML, that is neither StationXML nor QuakeML, whose
/// StationXML schema version is not 1.x, or whose QuakeML holds no origin.
bool ParseEventXml(std::span<const unsigned char> bytes, const std::string& source, StationInventory& inventory,
                   std::string& reason);

/// @brief ParseEventXml on the file at @p path (a regular file of at most
/// kMaxEventXmlBytes; anything else is refused with the reason).
bool ReadEventXmlFile(const std::string& path, StationInventory& inventory, std::string& reason);

/// The largest XML file read (a whole network's channels take a few MB).
constexpr long long kMaxEventXmlBytes = 512LL << 20;

}  // namespace orvane
