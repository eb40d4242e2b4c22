#include "tools/orvane-tool/Json.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace orvane::tool {

std::string JsonQuote(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + 2);
  out += '"';
  for (char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    switch (b) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (b < 0x20 || b >= 0x80) {
          char escape[8];
          std::snprintf(escape, sizeof escape, "\\u%04x", b);
          out += escape;
        } else {
          out += c;
        }
    }
  }
  out += '"';
  return out;
}

std::string JsonFloat(float value) {
  if (!std::isfinite(value)) return "null";
  char buffer[32];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  return ec == std::errc() ? std::string(buffer, end) : "null";
}

std::string JsonDouble(double value) {
  if (!std::isfinite(value)) return "null";
  char buffer[40];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  return ec == std::errc() ? std::string(buffer, end) : "null";
}

void JsonWriter::BeforeValue() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (!hasElement_.empty()) {
    if (hasElement_.back()) out_ += ',';
    hasElement_.back() = true;
  }
  if (newLine_) {
    out_ += '\n';
    newLine_ = false;
  }
}

JsonWriter& JsonWriter::BeginObject() {
  BeforeValue();
  out_ += '{';
  hasElement_.push_back(false);
  return *this;
}

JsonWriter& JsonWriter::EndObject() {
  hasElement_.pop_back();
  out_ += '}';
  return *this;
}

JsonWriter& JsonWriter::BeginArray() {
  BeforeValue();
  out_ += '[';
  hasElement_.push_back(false);
  return *this;
}

JsonWriter& JsonWriter::EndArray() {
  hasElement_.pop_back();
  if (newLine_) {
    out_ += '\n';
    newLine_ = false;
  }
  out_ += ']';
  return *this;
}

JsonWriter& JsonWriter::Key(std::string_view name) {
  BeforeValue();
  out_ += JsonQuote(name);
  out_ += ':';
  afterKey_ = true;
  return *this;
}

JsonWriter& JsonWriter::String(std::string_view bytes) { return Raw(JsonQuote(bytes)); }
JsonWriter& JsonWriter::Float(float value) { return Raw(JsonFloat(value)); }
JsonWriter& JsonWriter::Double(double value) { return Raw(JsonDouble(value)); }
JsonWriter& JsonWriter::Int(std::int64_t value) { return Raw(std::to_string(value)); }
JsonWriter& JsonWriter::Bool(bool value) { return Raw(value ? "true" : "false"); }
JsonWriter& JsonWriter::Null() { return Raw("null"); }

JsonWriter& JsonWriter::Raw(std::string_view json) {
  BeforeValue();
  out_ += json;
  return *this;
}

JsonWriter& JsonWriter::NewLine() {
  newLine_ = true;
  return *this;
}

}  // namespace orvane::tool
