// JSON text that any parser reads back: escapes, non-UTF-8 bytes, numbers
// that round-trip and non-finite numbers as null.
#include "check/json_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>

namespace lpgm::check {
namespace {

TEST(JsonWriter, NestingAndSeparators) {
  JsonWriter w;
  w.BeginObject();
  w.Key("a");
  w.BeginArray();
  w.Integer(1);
  w.BeginObject();
  w.EndObject();
  w.Null();
  w.EndArray();
  w.Key("b");
  w.Bool(false);
  w.EndObject();
  EXPECT_EQ(w.text(), R"({"a":[1,{},null],"b":false})");
}

TEST(JsonWriter, StringEscapes) {
  JsonWriter w;
  w.String(std::string("q\"b\\n\n\r\t\x01\x1f\x7f/\0", 13));
  EXPECT_EQ(w.text(), R"("q\"b\\n\n\r\t\u0001\u001f\u007f/\u0000")");
  JsonWriter u;
  u.String("周期 \x82\xA0 \xE3\x81");  // CP932 bytes and a cut character
  EXPECT_EQ(u.text(), "\"周期 \\ufffd\\ufffd \\ufffd\\ufffd\"");
}

TEST(JsonWriter, NumbersRoundTripAndNonFiniteIsNull) {
  JsonWriter w;
  w.BeginArray();
  w.Number(std::numeric_limits<double>::quiet_NaN());
  w.Number(std::numeric_limits<double>::infinity());
  w.Number(-std::numeric_limits<double>::infinity());
  w.Number(0.02);
  w.Number(-0.0);
  w.EndArray();
  EXPECT_EQ(w.text(), "[null,null,null,0.02,-0]");

  std::mt19937_64 rng(42);
  for (int k = 0; k < 100000; ++k) {
    std::uint64_t bits = rng();
    double v;
    std::memcpy(&v, &bits, sizeof v);
    if (!std::isfinite(v)) continue;
    JsonWriter n;
    n.Number(v);
    EXPECT_EQ(std::strtod(n.text().c_str(), nullptr), v) << n.text();
  }
}

}  // namespace
}  // namespace lpgm::check
