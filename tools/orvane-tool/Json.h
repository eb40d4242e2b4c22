#pragma once
// Small JSON writing helpers for orvane-tool's output.
//
// Every text is written as valid JSON whatever bytes it holds: control bytes
// and bytes from 0x80 up are escaped as \u00XX, so a station name of raw
// Latin-1 bytes prints as its code points rather than breaking the output.
// Numbers that JSON cannot hold (infinities, NaN) print as null.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orvane::tool {

/// @brief @p bytes as a quoted JSON string: "A\"B" for A"B, "\u00e9" for byte 0xE9.
std::string JsonQuote(std::string_view bytes);

/// @brief The shortest text that reads back as the same 32-bit float
/// (0.05f gives 0.05, 1e20f gives 1e+20); null when not finite.
std::string JsonFloat(float value);

/// @brief The shortest text that reads back as the same double; null when not finite.
std::string JsonDouble(double value);

/// @brief Builds one JSON value in a string, putting the commas and colons in.
///
///   JsonWriter w;
///   w.BeginObject().Key("npts").Int(3).Key("kstnm").String("FUR").EndObject();
///   w.str() == R"({"npts":3,"kstnm":"FUR"})"
class JsonWriter {
 public:
  JsonWriter& BeginObject();
  JsonWriter& EndObject();
  JsonWriter& BeginArray();
  JsonWriter& EndArray();
  JsonWriter& Key(std::string_view name);
  JsonWriter& String(std::string_view bytes);
  JsonWriter& Float(float value);
  JsonWriter& Double(double value);
  JsonWriter& Int(std::int64_t value);
  JsonWriter& Bool(bool value);
  JsonWriter& Null();
  /// A value written by the caller (already valid JSON).
  JsonWriter& Raw(std::string_view json);
  /// Starts a new line before the next element of the innermost array.
  JsonWriter& NewLine();

  const std::string& str() const { return out_; }

 private:
  void BeforeValue();

  std::string out_;
  // One entry per open array or object: whether it already holds an element.
  std::vector<bool> hasElement_;
  bool afterKey_ = false;
  bool newLine_ = false;
};

}  // namespace orvane::tool
