#include "record/number_parse.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <limits>
#include <random>
#include <string>
#include <system_error>
#include <vector>

#include "record/field_read.h"
#include "record/free_form.h"
#include "record/layout.h"
#include "record_testing.h"

namespace lpgm {
namespace {

using ::lpgm::testing::ExpectStop;
using ::lpgm::testing::Iterations;
using ::lpgm::testing::MemorySource;
using ::lpgm::testing::TestSeed;

bool SameDouble(double a, double b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

// Scans the text in two pieces, as a value that arrives over two reads.
ParseStatus Real(const std::string& text, double* value, int implied = 0) {
  NumberScanner scanner;
  const char* first = text.data();
  const char* middle = first + text.size() / 2;
  const char* last = first + text.size();
  if (scanner.Scan(first, middle).ptr != middle ||
      scanner.Scan(middle, last).ptr != last)
    return ParseStatus::kSyntax;
  return scanner.ToReal(implied, value);
}

ParseStatus Whole(const std::string& text, std::int32_t* value) {
  NumberScanner scanner;
  for (char c : text) scanner.Feed(c);
  return scanner.ToInteger(value);
}

TEST(ParseRealTest, AcceptsEveryExponentForm) {
  const struct {
    const char* text;
    int implied;
    double expected;
  } kCases[] = {
      {"1.5-3", 0, 1.5e-3},
      {"1.5+3", 0, 1500},
      {"-2.5-1", 0, -0.25},
      {"3E2", 0, 300},
      {"3e+2", 0, 300},
      {"2D2", 0, 200},
      {"2d-2", 0, 0.02},
      {"+.5", 0, 0.5},
      {"5.", 0, 5},
      {"-0", 0, -0.0},
      {"", 0, 0.0},
      {"007", 0, 7},
      {"1e0000000000099", 0, 1e99},
      {"12345", 2, 123.45},
      {"12345.", 2, 12345},
      {"15E2", 1, 150},
      {"-5", 3, -0.005},
      {"1.5-3", 7, 1.5e-3},
      {"0", 3, 0},
      {"1e400", 0, HUGE_VAL},
      {"-1e400", 0, -HUGE_VAL},
      {"1e-400", 0, 0.0},
      {"-1e-400", 0, -0.0},
      {"4.9e-324", 0, 4.9406564584124654e-324},
      {"2.4703282292062328e-324", 0, 4.9406564584124654e-324},
      {"2.4703282292062327e-324", 0, 0.0},
      {"1.7976931348623158e308", 0, 1.7976931348623157e308},
      {"1.7976931348623159e308", 0, HUGE_VAL},
  };
  for (const auto& c : kCases) {
    double v = -99;
    ASSERT_EQ(Real(c.text, &v, c.implied), ParseStatus::kOk) << c.text;
    EXPECT_TRUE(SameDouble(v, c.expected))
        << c.text << " F.d" << c.implied << ": " << v << " vs " << c.expected;
  }
}

TEST(ParseRealTest, RejectsWhatIsNoNumber) {
  for (const char* text :
       {"+",     "-",     ".",     "+.",  "E5",  "e",     "1E",   "1e+", "1-",
        "1.2.3", "1e2.5", "1e2e3", "--1", "+-1", "1e+-2", "1-+2", "12a", "inf",
        "nan",   "0x10",  "1 2",   "1,2", "1*2", "D2",    "1E2-"}) {
    double v = -99;
    EXPECT_EQ(Real(text, &v), ParseStatus::kSyntax) << text;
  }
}

TEST(NumberScannerTest, WholeNumbersAreSigned32Bit) {
  const struct {
    const char* text;
    ParseStatus status;
    std::int32_t value;
  } kCases[] = {
      {"2147483647", ParseStatus::kOk, INT32_MAX},
      {"-2147483648", ParseStatus::kOk, INT32_MIN},
      {"+0002147483647", ParseStatus::kOk, INT32_MAX},
      {"2147483648", ParseStatus::kOverflow, 0},
      {"-2147483649", ParseStatus::kOverflow, 0},
      {"99999999999", ParseStatus::kOverflow, 0},
      {"", ParseStatus::kOk, 0},
      {"-0", ParseStatus::kOk, 0},
      {"+5", ParseStatus::kOk, 5},
      {"1.0", ParseStatus::kSyntax, 0},
      {"1.", ParseStatus::kSyntax, 0},
      {"1e2", ParseStatus::kSyntax, 0},
      {"1-2", ParseStatus::kSyntax, 0},
      {"-", ParseStatus::kSyntax, 0},
      {"12a", ParseStatus::kSyntax, 0},
  };
  for (const auto& c : kCases) {
    std::int32_t v = -99;
    EXPECT_EQ(Whole(c.text, &v), c.status) << c.text;
    if (c.status == ParseStatus::kOk) {
      EXPECT_EQ(v, c.value) << c.text;
    }
  }
}

TEST(NumberScannerTest, ScanStopsWhereTheNumberEnds) {
  struct Case {
    const char* text;
    std::size_t taken;
    bool whole;  // what was taken is a number
  };
  const Case kCases[] = {
      {"1.5 2", 3, true},  {"-2d+3,", 5, true}, {"1.5-3/", 5, true},
      {"3*1.5", 1, true},  {"1..2", 2, true},   {"1e5.", 3, true},
      {"1.5e ", 4, false}, {". ", 1, false},    {"+-1", 1, false},
      {"x", 0, false},     {"", 0, false},      {"7'a'", 1, true},
  };
  for (const Case& c : kCases) {
    NumberScanner scanner;
    const char* first = c.text;
    const char* last = first + std::strlen(c.text);
    ScanResult r = scanner.Scan(first, last);
    EXPECT_EQ(r.ptr - first, static_cast<std::ptrdiff_t>(c.taken)) << c.text;
    EXPECT_EQ(r.ec == std::errc(), c.whole) << c.text;
  }
  // A stop leaves the scanner as it was: the number taken converts.
  NumberScanner scanner;
  const std::string text = "2.5e1,";
  ASSERT_EQ(scanner.Scan(text.data(), text.data() + text.size()).ptr,
            text.data() + 5);
  double v = 0;
  ASSERT_EQ(scanner.ToReal(0, &v), ParseStatus::kOk);
  EXPECT_EQ(v, 25.0);
  // Fed one at a time, a character that cannot continue spoils the value.
  scanner.Feed(',');
  EXPECT_EQ(scanner.ToReal(0, &v), ParseStatus::kSyntax);
}

TEST(NumberScannerTest, ResetForgetsTheEarlierValue) {
  NumberScanner scanner;
  for (char c : std::string("1.5e")) scanner.Feed(c);
  scanner.Reset();
  EXPECT_TRUE(scanner.empty());
  for (char c : std::string("25")) scanner.Feed(c);
  double v;
  ASSERT_EQ(scanner.ToReal(1, &v), ParseStatus::kOk);
  EXPECT_EQ(v, 2.5);
}

// --- Randomised comparison with glibc's strtod ----------------------------

// A generated decimal text, and the same number in the form strtod reads.
struct Decimal {
  std::string text;
  std::string reference;
};

std::string Digits(std::mt19937_64& rng, int n) {
  std::string s;
  int style = static_cast<int>(rng() % 4);
  for (int i = 0; i < n; ++i) {
    int d = static_cast<int>(rng() % 10);
    if (style == 1 && rng() % 8 != 0) d = 0;
    if (style == 2 && rng() % 8 != 0) d = 9;
    s += static_cast<char>('0' + d);
  }
  return s;
}

// `implied` decimals apply when the text has no point. `max_digits` bounds
// the mantissa (for texts that must fit a field).
Decimal RandomDecimal(std::mt19937_64& rng, int implied, int max_digits,
                      bool sign_exponent_allowed = true) {
  auto count = [&](int most) {
    if (most > 100 && rng() % 64 == 0)
      return 800 + static_cast<int>(rng() % 120);
    return static_cast<int>(rng() %
                            static_cast<unsigned>(std::min(most, 30) + 1));
  };
  Decimal d;
  std::string sign;
  switch (rng() % 3) {
    case 0:
      sign = "-";
      break;
    case 1:
      sign = rng() % 4 == 0 ? "+" : "";
      break;
    default:
      break;
  }
  bool point = rng() % 3 != 0;
  std::string whole = Digits(rng, count(max_digits));
  std::string fraction = point ? Digits(rng, count(max_digits)) : "";
  if (rng() % 4 == 0 && !whole.empty()) whole[0] = '0';  // leading zeros
  if (whole.empty() && fraction.empty()) whole = "7";
  long exponent = 0;
  std::string exponent_text;
  switch (rng() % 5) {
    case 0:
    case 1:
      break;  // no exponent
    case 2:
      if (sign_exponent_allowed) {
        exponent = static_cast<long>(rng() % 30);
        exponent_text = std::to_string(exponent);
        exponent_text = (rng() & 1 ? "+" : "-") + exponent_text;
        if (exponent_text[0] == '-') exponent = -exponent;
        break;
      }
      [[fallthrough]];
    default: {
      const char kMarks[] = "EeDd";
      exponent = static_cast<long>(rng() % (rng() % 8 == 0 ? 400 : 40));
      std::string digits = std::to_string(exponent);
      if (rng() % 8 == 0) digits = "00" + digits;
      int s = static_cast<int>(rng() % 3);
      if (s == 2) exponent = -exponent;
      exponent_text = std::string(1, kMarks[rng() % 4]) +
                      (s == 0   ? ""
                       : s == 1 ? "+"
                                : "-") +
                      digits;
    }
  }
  d.text = sign + whole + (point ? "." : "") + fraction + exponent_text;
  d.reference = sign + (whole.empty() ? "0" : whole) + "." + fraction + "e" +
                std::to_string(exponent - (point ? 0 : implied));
  return d;
}

// Texts at and next to the exact halfway point between two doubles, with
// up to 850 significant digits.
Decimal HalfwayDecimal(std::mt19937_64& rng) {
  double x;
  do {
    std::uint64_t bits = rng() >> 1;
    if (rng() % 4 == 0) bits >>= 12;  // subnormal
    x = std::bit_cast<double>(bits);
  } while (!std::isfinite(x) || !std::isfinite(std::nextafter(x, HUGE_VAL)));
  long double y = std::nextafter(x, HUGE_VAL);
  long double mid = x + (y - x) / 2;  // exact in the 64-bit mantissa
  char text[1000];
  int precision = rng() & 1 ? 780 : 850;
  std::snprintf(text, sizeof text, "%.*Le", precision, mid);
  std::string s = text;
  std::size_t e = s.find('e');
  std::string mantissa = s.substr(0, e);
  switch (rng() % 3) {
    case 0:
      break;  // the tie itself
    case 1:
      mantissa.back() = '1';
      break;    // just above
    default: {  // just below: one unit less in the last place
      std::size_t i = mantissa.size() - 1;
      while (mantissa[i] == '0' || mantissa[i] == '.') {
        if (mantissa[i] == '0') mantissa[i] = '9';
        --i;
      }
      --mantissa[i];
    }
  }
  std::string sign = rng() & 1 ? "-" : "";
  return {sign + mantissa + s.substr(e), sign + mantissa + s.substr(e)};
}

double Strtod(const std::string& text) {
  return std::strtod(text.c_str(), nullptr);
}

class RealChecker {
 public:
  void Check(const std::string& what, const std::string& text, double got,
             ParseStatus status, const std::string& reference) {
    ++count_;
    double want = Strtod(reference);
    if ((status != ParseStatus::kOk || !SameDouble(got, want)) &&
        ++failures_ <= 20) {
      ADD_FAILURE() << what << " of \"" << text.substr(0, 120)
                    << (text.size() > 120 ? "..." : "") << "\" (" << text.size()
                    << " chars): got " << std::hexfloat << got << ", want "
                    << want << " (status " << static_cast<int>(status) << ")";
    }
  }
  long count() const { return count_; }

 private:
  long count_ = 0;
  long failures_ = 0;
};

TEST(ParseRealTest, MatchesStrtodOnRandomDecimals) {
  std::mt19937_64 rng(TestSeed());
  RealChecker checker;
  for (long i = 0, n = Iterations(600000); i < n; ++i) {
    int implied = rng() % 3 == 0 ? static_cast<int>(rng() % 8) : 0;
    Decimal d = RandomDecimal(rng, implied, 1000);
    double v = -99;
    ParseStatus status = Real(d.text, &v, implied);
    checker.Check("ParseReal", d.text, v, status, d.reference);
  }
  for (long i = 0, n = Iterations(20000); i < n; ++i) {
    Decimal d = HalfwayDecimal(rng);
    double v = -99;
    ParseStatus status = Real(d.text, &v);
    checker.Check("ParseReal", d.text, v, status, d.reference);
  }
  std::printf("[ checked  ] %ld texts\n", checker.count());
}

// Records of up to 28 fields read by (28F20.d): comma-ended texts of up to
// 19 positions or right-justified texts of 20, with blanks strewn inside.
TEST(ParseRealTest, FieldReadMatchesStrtod) {
  std::mt19937_64 rng(TestSeed());
  RealChecker checker;
  std::vector<Layout> layouts;
  for (int d = 0; d <= 4; ++d)
    layouts.push_back(Layout::Parse("(28F20." + std::to_string(d) + ")"));
  for (long r = 0, n = Iterations(20000); r < n; ++r) {
    int implied = static_cast<int>(rng() % layouts.size());
    int fields = 1 + static_cast<int>(rng() % 28);
    std::string record;
    std::vector<Decimal> values;
    for (int f = 0; f < fields; ++f) {
      Decimal d;
      do {
        d = RandomDecimal(rng, implied, 8);
      } while (d.text.size() > 17);
      bool comma = f + 1 < fields && rng() % 4 != 0;
      std::size_t room = comma ? 19 : 20;
      std::string text = d.text;
      while (text.size() < room && rng() % 3 == 0)
        text.insert(rng() % (text.size() + 1), " ");
      if (comma) {
        record += text + ",";
      } else {
        record += std::string(room - text.size(), ' ') + text;
      }
      values.push_back(d);
    }
    MemorySource source(record + "\r\n");
    double got[28];
    std::fill(std::begin(got), std::end(got), -99.0);
    ReadRecord(source.channel, layouts[static_cast<std::size_t>(implied)],
               {ListItem::Real(got, 28)});
    for (int f = 0; f < 28; ++f) {
      checker.Check(
          "F20." + std::to_string(implied) + " field " + std::to_string(f + 1),
          record, got[f], ParseStatus::kOk,
          f < fields ? values[static_cast<std::size_t>(f)].reference : "0");
    }
  }
}

// Records of values separated by blanks, tabs and commas, read free-form
// with the usual buffer (fast path) and with a tiny one (general path).
TEST(ParseRealTest, FreeFormReadMatchesStrtod) {
  std::mt19937_64 rng(TestSeed());
  RealChecker checker;
  const char* kSeparators[] = {" ", "  ", "\t", ",", " , ", ", ", "\r\n", "\n"};
  for (long r = 0, n = Iterations(3000); r < n; ++r) {
    int count = 1 + static_cast<int>(rng() % 200);
    std::string data;
    std::vector<Decimal> values;
    for (int i = 0; i < count; ++i) {
      values.push_back(RandomDecimal(rng, 0, rng() % 8 == 0 ? 1000 : 12));
      data += values.back().text;
      data += kSeparators[rng() % std::size(kSeparators)];
    }
    for (std::size_t buffer :
         {InputChannel::kDefaultBufferSize, std::size_t{16}}) {
      MemorySource source(data, 1 << 20, buffer);
      std::vector<double> got(static_cast<std::size_t>(count), -99.0);
      ReadFreeForm(source.channel, {ListItem::Real(got.data(), got.size())});
      for (int i = 0; i < count; ++i) {
        checker.Check("free-form (buffer " + std::to_string(buffer) +
                          ") value " + std::to_string(i + 1),
                      values[static_cast<std::size_t>(i)].text,
                      got[static_cast<std::size_t>(i)], ParseStatus::kOk,
                      values[static_cast<std::size_t>(i)].reference);
      }
    }
  }
}

TEST(NumberScannerTest, WholeNumbersMatchStrtoll) {
  std::mt19937_64 rng(TestSeed());
  const Layout i20 = Layout::Parse("(I20)");
  long failures = 0;
  for (long i = 0, n = Iterations(200000); i < n; ++i) {
    std::string text = rng() % 3 == 0 ? "-" : rng() % 4 == 0 ? "+" : "";
    text += Digits(rng, 1 + static_cast<int>(rng() % 12));
    long long expected = std::strtoll(text.c_str(), nullptr, 10);
    bool fits = expected >= INT32_MIN && expected <= INT32_MAX;
    std::int32_t v = -99;
    ParseStatus status = Whole(text, &v);
    if ((fits ? status != ParseStatus::kOk || v != expected
              : status != ParseStatus::kOverflow) &&
        ++failures <= 20) {
      ADD_FAILURE() << text << ": status " << static_cast<int>(status) << ", "
                    << v;
    }
    if (i % 50 != 0) continue;
    // The same through an I20 field and a free-form read.
    MemorySource by_field(text + "\n");
    MemorySource free_form(text + "\n");
    std::int32_t a = -99, b = -99;
    if (fits) {
      ReadRecord(by_field.channel, i20, {ListItem::Integer(&a)});
      ReadFreeForm(free_form.channel, {ListItem::Integer(&b)});
      EXPECT_EQ(a, expected) << text;
      EXPECT_EQ(b, expected) << text;
    } else {
      EXPECT_EQ(ExpectStop([&] {
                  ReadRecord(by_field.channel, i20, {ListItem::Integer(&a)});
                }).number(),
                kErrConversion)
          << text;
      EXPECT_EQ(ExpectStop([&] {
                  ReadFreeForm(free_form.channel, {ListItem::Integer(&b)});
                }).number(),
                kErrListSyntax)
          << text;
    }
  }
}

}  // namespace
}  // namespace lpgm
