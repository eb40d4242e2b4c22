#pragma once
// A strict little JSON reader for tests that check what a tool printed.
//
//   auto v = orvane::test::ParseJson(R"([{"npts":3,"kstnm":"FUR"}])");
//   ASSERT_TRUE(v);  // nothing when the text is not exactly one valid JSON value
//   (*v)[0]["npts"].number == 3
//
// Strings are decoded to UTF-8; \u escapes below 0x100 that stand for single
// bytes can be read back as bytes with Value::Latin1().

#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvane::test {

struct JsonValue {
  enum Kind { kNull, kBool, kNumber, kString, kArray, kObject } kind = kNull;
  bool boolean = false;
  double number = 0;
  std::string numberText;        // the number as written
  std::vector<std::uint32_t> codePoints;  // a string's characters
  std::vector<JsonValue> items;  // array elements
  std::vector<std::pair<std::string, JsonValue>> members;  // object members, in order

  bool IsNull() const { return kind == kNull; }
  /// The string with every character below 0x100 as one byte (others as '?').
  std::string Latin1() const {
    std::string out;
    for (std::uint32_t c : codePoints) out += c < 0x100 ? static_cast<char>(c) : '?';
    return out;
  }
  const JsonValue& operator[](std::size_t i) const {
    static const JsonValue none;
    return i < items.size() ? items[i] : none;
  }
  const JsonValue& operator[](const std::string& key) const {
    static const JsonValue none;
    for (const auto& [k, v] : members)
      if (k == key) return v;
    return none;
  }
  bool Has(const std::string& key) const {
    for (const auto& m : members)
      if (m.first == key) return true;
    return false;
  }
};

namespace json_detail {

class Parser {
 public:
  explicit Parser(std::string_view text) : s_(text) {}

  std::optional<JsonValue> Document() {
    JsonValue v;
    if (!Value(v, 0)) return std::nullopt;
    Space();
    if (p_ != s_.size()) return std::nullopt;
    return v;
  }

 private:
  void Space() {
    while (p_ < s_.size() && (s_[p_] == ' ' || s_[p_] == '\n' || s_[p_] == '\r' || s_[p_] == '\t')) ++p_;
  }
  bool Literal(std::string_view word) {
    if (s_.substr(p_, word.size()) != word) return false;
    p_ += word.size();
    return true;
  }
  bool Value(JsonValue& v, int depth) {
    if (depth > 64) return false;
    Space();
    if (p_ >= s_.size()) return false;
    const char c = s_[p_];
    if (c == '{') return Object(v, depth);
    if (c == '[') return Array(v, depth);
    if (c == '"') {
      v.kind = JsonValue::kString;
      return String(v.codePoints);
    }
    if (Literal("null")) return v.kind = JsonValue::kNull, true;
    if (Literal("true")) return v.kind = JsonValue::kBool, v.boolean = true, true;
    if (Literal("false")) return v.kind = JsonValue::kBool, v.boolean = false, true;
    return Number(v);
  }
  bool Number(JsonValue& v) {
    const std::size_t start = p_;
    if (p_ < s_.size() && s_[p_] == '-') ++p_;
    if (p_ >= s_.size() || !Digit(s_[p_])) return false;
    if (s_[p_] == '0') {
      ++p_;
    } else {
      while (p_ < s_.size() && Digit(s_[p_])) ++p_;
    }
    if (p_ < s_.size() && s_[p_] == '.') {
      ++p_;
      if (p_ >= s_.size() || !Digit(s_[p_])) return false;
      while (p_ < s_.size() && Digit(s_[p_])) ++p_;
    }
    if (p_ < s_.size() && (s_[p_] == 'e' || s_[p_] == 'E')) {
      ++p_;
      if (p_ < s_.size() && (s_[p_] == '+' || s_[p_] == '-')) ++p_;
      if (p_ >= s_.size() || !Digit(s_[p_])) return false;
      while (p_ < s_.size() && Digit(s_[p_])) ++p_;
    }
    v.kind = JsonValue::kNumber;
    v.numberText = std::string(s_.substr(start, p_ - start));
    v.number = std::strtod(v.numberText.c_str(), nullptr);
    return true;
  }
  static bool Digit(char c) { return c >= '0' && c <= '9'; }
  static int Hex(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  }
  bool String(std::vector<std::uint32_t>& out) {
    ++p_;  // opening quote
    while (p_ < s_.size()) {
      const auto c = static_cast<unsigned char>(s_[p_++]);
      if (c == '"') return true;
      if (c < 0x20) return false;  // control bytes must be escaped
      if (c == '\\') {
        if (p_ >= s_.size()) return false;
        const char e = s_[p_++];
        switch (e) {
          case '"': out.push_back('"'); break;
          case '\\': out.push_back('\\'); break;
          case '/': out.push_back('/'); break;
          case 'b': out.push_back('\b'); break;
          case 'f': out.push_back('\f'); break;
          case 'n': out.push_back('\n'); break;
          case 'r': out.push_back('\r'); break;
          case 't': out.push_back('\t'); break;
          case 'u': {
            if (p_ + 4 > s_.size()) return false;
            std::uint32_t code = 0;
            for (int i = 0; i < 4; ++i) {
              const int h = Hex(s_[p_++]);
              if (h < 0) return false;
              code = code * 16 + static_cast<std::uint32_t>(h);
            }
            out.push_back(code);
            break;
          }
          default: return false;
        }
        continue;
      }
      if (c < 0x80) {
        out.push_back(c);
        continue;
      }
      // UTF-8 sequence: must be well formed.
      int extra = c >= 0xF0 && c <= 0xF4 ? 3 : c >= 0xE0 ? 2 : c >= 0xC2 && c < 0xE0 ? 1 : -1;
      if (extra < 0 || c > 0xF4 || p_ + static_cast<std::size_t>(extra) > s_.size()) return false;
      std::uint32_t code = c & (0x3F >> extra);
      for (int i = 0; i < extra; ++i) {
        const auto k = static_cast<unsigned char>(s_[p_++]);
        if ((k & 0xC0) != 0x80) return false;
        code = (code << 6) | (k & 0x3F);
      }
      out.push_back(code);
    }
    return false;
  }
  bool Array(JsonValue& v, int depth) {
    ++p_;
    v.kind = JsonValue::kArray;
    Space();
    if (p_ < s_.size() && s_[p_] == ']') return ++p_, true;
    for (;;) {
      JsonValue item;
      if (!Value(item, depth + 1)) return false;
      v.items.push_back(std::move(item));
      Space();
      if (p_ >= s_.size()) return false;
      if (s_[p_] == ']') return ++p_, true;
      if (s_[p_++] != ',') return false;
    }
  }
  bool Object(JsonValue& v, int depth) {
    ++p_;
    v.kind = JsonValue::kObject;
    Space();
    if (p_ < s_.size() && s_[p_] == '}') return ++p_, true;
    for (;;) {
      Space();
      if (p_ >= s_.size() || s_[p_] != '"') return false;
      std::vector<std::uint32_t> key;
      if (!String(key)) return false;
      Space();
      if (p_ >= s_.size() || s_[p_++] != ':') return false;
      JsonValue member;
      if (!Value(member, depth + 1)) return false;
      std::string name;
      for (std::uint32_t c : key) name += static_cast<char>(c);
      v.members.emplace_back(std::move(name), std::move(member));
      Space();
      if (p_ >= s_.size()) return false;
      if (s_[p_] == '}') return ++p_, true;
      if (s_[p_++] != ',') return false;
    }
  }

  std::string_view s_;
  std::size_t p_ = 0;
};

}  // namespace json_detail

/// @brief The one JSON value that @p text holds (white space around allowed),
/// or nothing when @p text is not valid JSON.
inline std::optional<JsonValue> ParseJson(std::string_view text) {
  return json_detail::Parser(text).Document();
}

}  // namespace orvane::test
