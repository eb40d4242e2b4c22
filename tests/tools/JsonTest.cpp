#include "tools/orvane-tool/Json.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "support/MiniJson.h"

namespace orvane::tool {
namespace {

TEST(JsonQuote, EscapesWhatJsonRequires) {
  struct Row { std::string in; std::string out; } rows[] = {
      {"FUR", "\"FUR\""},
      {"a\"b\\c", "\"a\\\"b\\\\c\""},
      {"\n\r\t", "\"\\n\\r\\t\""},
      {std::string("\0\x01\x1f", 3), "\"\\u0000\\u0001\\u001f\""},
      {"\x7f", "\"\x7f\""},
      {"\x80\xe9\xff", "\"\\u0080\\u00e9\\u00ff\""},
      {"", "\"\""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.out);
    EXPECT_EQ(JsonQuote(r.in), r.out);
  }
}

TEST(JsonQuote, EveryByteStringGivesValidJsonThatReadsBack) {
  std::mt19937 random(7);
  for (int round = 0; round < 500; ++round) {
    std::string bytes(random() % 20, '\0');
    for (char& c : bytes) c = static_cast<char>(random() & 0xff);
    auto parsed = test::ParseJson(JsonQuote(bytes));
    ASSERT_TRUE(parsed) << JsonQuote(bytes);
    EXPECT_EQ(parsed->Latin1(), bytes);
  }
}

TEST(JsonNumbers, FloatsReadBackExactly) {
  const float values[] = {0.05f, 0.01f, 0.1f, -12345.0f, 1e20f, -1e20f, 1e-45f, 3.4028235e38f,
                          0.6666667f, 0.0f, -0.0f, 123456789.0f, 48.25f};
  for (float v : values) {
    SCOPED_TRACE(v);
    const std::string text = JsonFloat(v);
    auto parsed = test::ParseJson(text);
    ASSERT_TRUE(parsed) << text;
    EXPECT_EQ(static_cast<float>(std::strtod(text.c_str(), nullptr)), v) << text;
  }
  EXPECT_EQ(JsonFloat(0.05f), "0.05");
  EXPECT_EQ(JsonFloat(std::numeric_limits<float>::infinity()), "null");
  EXPECT_EQ(JsonFloat(-std::numeric_limits<float>::infinity()), "null");
  EXPECT_EQ(JsonFloat(std::numeric_limits<float>::quiet_NaN()), "null");
  EXPECT_EQ(JsonDouble(0.1), "0.1");
  EXPECT_EQ(std::strtod(JsonDouble(12748496523.4).c_str(), nullptr), 12748496523.4);
  EXPECT_EQ(JsonDouble(std::numeric_limits<double>::quiet_NaN()), "null");
}

TEST(JsonWriter, CommasColonsAndNesting) {
  JsonWriter w;
  w.BeginArray();
  w.NewLine().BeginObject().Key("a").Int(1).Key("b").BeginArray().Float(0.5f).Null().Bool(true).EndArray()
      .Key("c").BeginObject().EndObject().EndObject();
  w.NewLine().BeginArray().EndArray();
  w.NewLine().EndArray();
  EXPECT_EQ(w.str(), "[\n{\"a\":1,\"b\":[0.5,null,true],\"c\":{}},\n[]\n]");
  EXPECT_TRUE(test::ParseJson(w.str()));
  JsonWriter empty;
  empty.BeginArray().NewLine().EndArray();
  EXPECT_TRUE(test::ParseJson(empty.str()));
}

TEST(MiniJson, RefusesInvalidText) {
  const char* bad[] = {"", "[", "[1,]", "{\"a\"}", "\"\x01\"", "nul", "01", "[1] x", "\"\xff\"",
                       "{\"a\":1,}", "1.", "-", "\"\\x\""};
  for (const char* text : bad) EXPECT_FALSE(test::ParseJson(text)) << text;
}

}  // namespace
}  // namespace orvane::tool
