#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

#include "json/json_error.h"
#include "json/json_number.h"
#include "json/json_reader.h"

namespace ondrel {
namespace {

using namespace std::string_literals;

std::string check(std::string_view text) {
  const auto error = JsonReader::check_document(text);
  return error ? json_error_message(*error, text) : "ok";
}

struct MessageCase {
  std::string text;
  std::string message;
};

TEST(JsonReader, SyntaxErrorsPointJustPastWhereReadingStopped) {
  const MessageCase cases[] = {
      {"", "EOF while parsing a value at line 1 column 0"},
      {"   ", "EOF while parsing a value at line 1 column 3"},
      {"[", "EOF while parsing a list at line 1 column 1"},
      {"[1", "EOF while parsing a list at line 1 column 2"},
      {"[1,", "EOF while parsing a value at line 1 column 3"},
      {"{", "EOF while parsing an object at line 1 column 1"},
      {"{\"a\"", "EOF while parsing an object at line 1 column 4"},
      {"{\"a\":", "EOF while parsing a value at line 1 column 5"},
      {"{\"a\":1,", "EOF while parsing a value at line 1 column 7"},
      {"\"abc", "EOF while parsing a string at line 1 column 4"},
      {"\"\\", "EOF while parsing a string at line 1 column 2"},
      {"\"\\u12", "EOF while parsing a string at line 1 column 5"},
      {"\"\\uD800", "EOF while parsing a string at line 1 column 7"},
      {"\"\\uD800\\", "EOF while parsing a string at line 1 column 8"},
      {"{\"a\" 1}", "expected `:` at line 1 column 6"},
      {"[1 2]", "expected `,` or `]` at line 1 column 4"},
      {"[1;2]", "expected `,` or `]` at line 1 column 3"},
      {"[1\r2]", "expected `,` or `]` at line 1 column 4"},  // a carriage return is a column
      {"{\"a\":1 \"b\":2}", "expected `,` or `}` at line 1 column 8"},
      {"tru", "EOF while parsing a value at line 1 column 3"},
      {"trUe", "expected ident at line 1 column 3"},
      {"nulx", "expected ident at line 1 column 4"},
      {"True", "expected value at line 1 column 1"},
      {"[,1]", "expected value at line 1 column 2"},
      {"NaN", "expected value at line 1 column 1"},
      {"\xEF\xBB\xBF{}", "expected value at line 1 column 1"},
      {"\"\\x\"", "invalid escape at line 1 column 3"},
      {"\"\\u12G4\"", "invalid escape at line 1 column 7"},
      {"-", "EOF while parsing a value at line 1 column 1"},
      {"-a", "invalid number at line 1 column 2"},
      {"+1", "expected value at line 1 column 1"},
      {"01", "invalid number at line 1 column 2"},
      {"-012", "invalid number at line 1 column 3"},
      {"1.", "EOF while parsing a value at line 1 column 2"},
      {"1.x", "invalid number at line 1 column 3"},
      {"1.e5", "invalid number at line 1 column 3"},
      {".5", "expected value at line 1 column 1"},
      {"1e", "EOF while parsing a value at line 1 column 2"},
      {"1e+", "EOF while parsing a value at line 1 column 3"},
      {"1e+x", "invalid number at line 1 column 4"},
      {"1e400", "number out of range at line 1 column 5"},
      {"-1.8e308", "number out of range at line 1 column 8"},
      {"[1e99999999999]", "number out of range at line 1 column 13"},  // where the exponent stopped fitting
      {"\"\xFF\"", "invalid unicode code point at line 1 column 3"},
      {"\"a\xC3\"", "invalid unicode code point at line 1 column 4"},
      {"\"\xC0\xAF\"", "invalid unicode code point at line 1 column 4"},           // overlong
      {"\"\xED\xA0\x80\"", "invalid unicode code point at line 1 column 5"},       // encoded surrogate
      {"\"\xF4\x90\x80\x80\"", "invalid unicode code point at line 1 column 6"},   // beyond U+10FFFF
      {"\"\xFF\\x\"", "invalid escape at line 1 column 4"},                        // the escape comes first
      {"\"\xFF", "EOF while parsing a string at line 1 column 2"},
      {"\"a\tb\"", "control character (\\u0000-\\u001F) found while parsing a string at line 1 column 3"},
      {"\"a\nb\"", "control character (\\u0000-\\u001F) found while parsing a string at line 2 column 0"},
      {"\"\0\""s, "control character (\\u0000-\\u001F) found while parsing a string at line 1 column 2"},
      {"{1:2}", "key must be a string at line 1 column 2"},
      {"{\"a\":1,,}", "key must be a string at line 1 column 8"},
      {"\"\\uDC00\"", "lone leading surrogate in hex escape at line 1 column 7"},
      {"\"\\uD800\\u0041\"", "lone leading surrogate in hex escape at line 1 column 13"},
      {"[1,]", "trailing comma at line 1 column 4"},
      {"{\"a\":1,}", "trailing comma at line 1 column 8"},
      {"{\"a\":1 , }", "trailing comma at line 1 column 10"},
      {"1 2", "trailing characters at line 1 column 3"},
      {"{} //", "trailing characters at line 1 column 4"},
      {"\"\\uD800\"", "unexpected end of hex escape at line 1 column 8"},
      {"\"\\uD800x\"", "unexpected end of hex escape at line 1 column 8"},
      {"\"\\uD800\\n\"", "unexpected end of hex escape at line 1 column 9"},
      {"[\n  1,\n  ]", "trailing comma at line 3 column 3"},
      {"{\r\n\"a\"\r\n}", "expected `:` at line 3 column 1"},
  };
  for (const auto& c : cases) EXPECT_EQ(check(c.text), c.message) << c.text;
}

TEST(JsonReader, NestingStopsAtLevel128) {
  for (const char open : {'[', '{'}) {
    const std::string item = open == '[' ? "[" : "{\"k\":";
    const std::string close = open == '[' ? "]" : "}";
    std::string deepest_allowed;
    for (int i = 0; i < JsonReader::kMaxDepth; ++i) deepest_allowed += item;
    for (int i = 0; i < JsonReader::kMaxDepth; ++i) deepest_allowed += i == 0 && open == '{' ? "1}" : close;
    EXPECT_EQ(check(deepest_allowed), "ok");

    std::string too_deep;
    for (int i = 0; i <= JsonReader::kMaxDepth; ++i) too_deep += item;
    const std::size_t column = too_deep.size() - item.size() + 1;
    EXPECT_EQ(check(too_deep), "recursion limit exceeded at line 1 column " + std::to_string(column));
  }
  // Deep but flat: the depth goes back down on every close.
  std::string siblings = "[";
  for (int i = 0; i < 1000; ++i) siblings += "[[]],";
  siblings += "0]";
  EXPECT_EQ(check(siblings), "ok");
  EXPECT_EQ(check(std::string(100000, '[')), "recursion limit exceeded at line 1 column 128");
}

JsonValue number(std::string_view text) {
  std::size_t pos = 0;
  JsonValue value;
  EXPECT_FALSE(read_number(text, pos, value).has_value()) << text;
  EXPECT_EQ(pos, text.size()) << text;
  return value;
}

TEST(JsonNumber, TinyMagnitudesBecomeZeroHugeOnesFail) {
  EXPECT_EQ(std::get<double>(number("1e-400")), 0.0);
  EXPECT_TRUE(std::signbit(std::get<double>(number("-1e-400"))));
  EXPECT_EQ(std::get<double>(number("4.9e-324")), 4.9e-324);
  EXPECT_EQ(std::get<double>(number("0e999999999999999")), 0.0);
  EXPECT_EQ(std::get<double>(number("1e-999999999999999")), 0.0);
  EXPECT_TRUE(std::signbit(std::get<double>(number("-1e-400000000000000000000000"))));
  EXPECT_EQ(std::get<double>(number("0.00000000000000000000000000000000000001e-300")), 0.0);
  EXPECT_EQ(std::get<double>(number("1.7976931348623157e308")), 1.7976931348623157e308);
  EXPECT_EQ(std::get<double>(number(std::string(400, '1') + "e-300")), 1.1111111111111111e99);
  EXPECT_EQ(check("1" + std::string(400, '0')), "number out of range at line 1 column 401");
  EXPECT_EQ(check("0." + std::string(400, '0') + "1e800"), "number out of range at line 1 column 407");
}

TEST(JsonNumber, ShortestTextKeepsPointZeroForIntegralValues) {
  const std::pair<double, std::string_view> cases[] = {
      {10.0, "10.0"}, {1.5, "1.5"}, {-0.0, "-0.0"}, {0.0, "0.0"}, {0.1, "0.1"}, {-2.5, "-2.5"},
      {1e15, "1000000000000000.0"}, {1e16, "1e16"}, {1.5e16, "1.5e16"}, {123456789.125, "123456789.125"},
      {0.0001, "0.0001"}, {0.00001, "0.00001"}, {0.000001, "1e-6"}, {1.25e-7, "1.25e-7"},
      {1.7976931348623157e308, "1.7976931348623157e308"}, {5e-324, "5e-324"},
      {18446744073709551616.0, "1.8446744073709552e19"}, {9007199254740993.0, "9007199254740992.0"},
  };
  for (const auto& [value, text] : cases) EXPECT_EQ(format_shortest(value), text) << text;
}

}  // namespace
}  // namespace ondrel
