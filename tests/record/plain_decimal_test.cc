#include "record/plain_decimal.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "record/free_form.h"
#include "record_testing.h"

namespace lpgm {
namespace {

using ::lpgm::testing::Iterations;
using ::lpgm::testing::MemorySource;
using ::lpgm::testing::TestSeed;

std::uint64_t Bits(double x) {
  std::uint64_t b;
  std::memcpy(&b, &x, 8);
  return b;
}

// `token` then `after`, padded with blanks to the bytes the scanner may read.
std::string InView(const std::string& token, const std::string& after = " ") {
  std::string s = token + after;
  s.resize(std::max<std::size_t>(s.size(), kPlainDecimalView) + 8, ' ');
  return s;
}

// The fast scan takes exactly what the general grammar takes, with the same
// bits, or leaves the token to it.
void ExpectAgreesWithGeneral(const std::string& text, bool must_take) {
  double fast = -77.0;
  const std::size_t n = ScanPlainDecimal(text.data(), &fast);
  if (must_take) {
    EXPECT_GT(n, 0u) << text;
  }
  if (n == 0) return;
  double general = 0;
  const ScanResult r =
      ScanReal(text.data(), text.data() + text.size(), &general);
  ASSERT_EQ(r.ec, std::errc()) << text;
  EXPECT_EQ(static_cast<std::size_t>(r.ptr - text.data()), n) << text;
  EXPECT_EQ(Bits(fast), Bits(general)) << text;
}

TEST(PlainDecimalTest, DigitMaskAgreesWithTheByteByByteMask) {
  std::mt19937_64 rng(TestSeed());
  char bytes[16];
  for (long n = 0; n < Iterations(200000); ++n) {
    for (char& c : bytes) {
      c = static_cast<char>(rng() % 4 == 0 ? '0' + static_cast<int>(rng() % 10)
                                           : static_cast<int>(rng() % 256));
    }
    ASSERT_EQ(DigitMask16(bytes), DigitMask16Scalar(bytes));
  }
}

TEST(PlainDecimalTest, BlankSkipStopsAtTheFirstOtherByteOrTheEnd) {
  std::mt19937_64 rng(TestSeed());
  for (long n = 0; n < Iterations(100000); ++n) {
    const std::size_t blanks = rng() % 40;
    std::string s;
    for (std::size_t k = 0; k < blanks; ++k) s += rng() % 3 == 0 ? '\t' : ' ';
    const bool other = rng() % 4 != 0;  // else the blanks run to the end
    if (other) s += "\r,\n1\0\xa0"[rng() % 6];
    s += std::string(rng() % 20, ' ');
    const char* end = s.data() + (other ? s.size() : blanks);
    ASSERT_EQ(SkipBlanks(s.data(), end) - s.data(),
              static_cast<std::ptrdiff_t>(blanks));
  }
}

TEST(PlainDecimalTest, TakesShortPlainDecimalsAndLeavesTheRest) {
  // Taken: up to 15 characters, signs, leading zeros, a point at either end.
  for (const char* t :
       {"0", "-0", "+0", "-0.0", "5.", ".5", "-.5", "+7", "123456789012345",
        "-12345678901234", "0.0000000000001", "000000000000001",
        "99999999999999.", ".99999999999999", "-120.5300", "1000000.000000"}) {
    ExpectAgreesWithGeneral(InView(t), true);
  }
  double v = 1;
  ASSERT_EQ(ScanPlainDecimal(InView("-0").data(), &v), 2u);
  EXPECT_TRUE(std::signbit(v));
  // Left to the general grammar: no digit, 16 characters or more, a second
  // sign.
  for (const char* t :
       {"", ".", "-.", "+", "-", "+-1", "--1", "1234567890123456",
        "-123456789012345", "0.00000000000001", "*", "a1"}) {
    EXPECT_EQ(ScanPlainDecimal(InView(t).data(), &v), 0u) << t;
  }
  // Short exponents in every written form, up to a scale of 22 either way.
  for (const char* t :
       {"1.5E3", "-2.5d-2", "1.5-3", "7.+1", "1e0022", ".5D+0", "-1.23456E+02",
        "123456789012345e7", "0E-22", "1.E-8"}) {
    ExpectAgreesWithGeneral(InView(t), true);
  }
  // Left: an exponent without digits, with five, or a scale beyond 22.
  for (const char* t :
       {"1E", "1e+", "1-", "1E12345", "1e23", "1.5E-22", "0e99"}) {
    EXPECT_EQ(ScanPlainDecimal(InView(t).data(), &v), 0u) << t;
  }
  // The scan stops where the form ends; the caller looks at what follows
  // (a repeat count, a second point).
  EXPECT_EQ(ScanPlainDecimal(InView("3*2.5").data(), &v), 1u);
  EXPECT_EQ(ScanPlainDecimal(InView("1.2.3").data(), &v), 3u);
}

// A random `[sign]digits[.digits]`, often with leading zeros, of 0 to 25
// characters.
std::string RandomPlainToken(std::mt19937_64& rng) {
  std::string s;
  if (rng() % 3 == 0) s += rng() % 2 ? '-' : '+';
  auto digits = [&](std::size_t n) {
    const bool zeros = rng() % 4 == 0;
    for (std::size_t k = 0; k < n; ++k) {
      s += zeros && k < n / 2 ? '0' : static_cast<char>('0' + rng() % 10);
    }
  };
  digits(rng() % 12);
  if (rng() % 5 != 0) {
    s += '.';
    digits(rng() % 12);
  }
  return s;
}

// The C library's spelling of a scanned number: D as e, and an e before a
// sign that directly follows the mantissa.
std::string ForStrtod(std::string s) {
  for (char& c : s) {
    if (c == 'D' || c == 'd') c = 'e';
  }
  const std::size_t sign = s.find_first_of("+-", 1);
  if (sign != std::string::npos && s[sign - 1] != 'e' && s[sign - 1] != 'E')
    s.insert(sign, "e");
  return s;
}

TEST(PlainDecimalTest, RandomTokensMatchTheGeneralGrammarAndStrtod) {
  std::mt19937_64 rng(TestSeed());
  // The first nine always leave a token of 15 characters or less taken.
  const char* kAfter[] = {" ",  "\t",  ",",    "/",      "\n",     "\r\n",
                          "E5", "d-3", "-2",   "e+0021", "D-17",   "E",
                          "e+", "+",   "E123", "-12345", "e99999", "*"};
  for (long n = 0; n < Iterations(2000000, 10); ++n) {
    const std::string token = RandomPlainToken(rng);
    const std::size_t after = rng() % std::size(kAfter);
    const std::string text = InView(token, kAfter[after]);
    const bool has_digit =
        token.find_first_of("0123456789") != std::string::npos;
    ExpectAgreesWithGeneral(text, has_digit && token.size() <= 15 && after < 9);
    double fast;
    if (const std::size_t length = ScanPlainDecimal(text.data(), &fast)) {
      const std::string taken = ForStrtod(text.substr(0, length));
      ASSERT_EQ(Bits(fast), Bits(std::strtod(taken.c_str(), nullptr))) << taken;
    }
    if (::testing::Test::HasFailure()) break;
  }
}

// --- Through the free-form read ---------------------------------------------

struct ReadResult {
  std::vector<double> values;
  long records = 0;  // records begun after the read
  std::int32_t next = 0;
};

ReadResult ReadAll(const std::string& text, std::size_t count,
                   std::size_t chunk, std::size_t buffer) {
  MemorySource source(text, chunk, buffer);
  ReadResult r;
  r.values.assign(count, -1.0);
  ReadFreeForm(source.channel, {ListItem::Real(r.values.data(), count)});
  r.records = source.channel.records_begun();
  ReadFreeForm(source.channel, {ListItem::Integer(&r.next)});
  return r;
}

// The samples read with the usual buffer and with buffers that move the view's
// edges through the text are the samples the byte-at-a-time reading gives
// (a 16-byte buffer never shows the fast path a whole token), and so are
// the records counted.
void ExpectSameAsGeneral(const std::string& text, std::size_t count,
                         std::mt19937_64& rng) {
  const ReadResult want = ReadAll(text, count, 1, 16);
  const std::size_t kPieces[][2] = {{1 << 20, InputChannel::kDefaultBufferSize},
                                    {1 + rng() % 300, 64 + rng() % 200},
                                    {1 + rng() % 40, 32 + rng() % 64}};
  for (const auto& p : kPieces) {
    const ReadResult got = ReadAll(text, count, p[0], p[1]);
    ASSERT_EQ(got.records, want.records)
        << "chunk " << p[0] << " buffer " << p[1];
    EXPECT_EQ(got.next, want.next);
    for (std::size_t k = 0; k < count; ++k) {
      ASSERT_EQ(Bits(got.values[k]), Bits(want.values[k]))
          << "sample " << k << " chunk " << p[0] << " buffer " << p[1] << "\n"
          << ::testing::PrintToString(text);
    }
  }
}

TEST(PlainDecimalTest, FreeFormReadsBoundaryTextsAsTheGeneralPath) {
  std::mt19937_64 rng(TestSeed());
  const std::string kTokens[] = {"-0",
                                 "0.0",
                                 "123456789012345",
                                 "1234567890123456",
                                 "-000000000000012.5",
                                 "+.5",
                                 "7.",
                                 "1.5E3",
                                 "2d-1",
                                 "1.5-3",
                                 "99999999999999.9",
                                 "0.00000000000001"};
  const char* kSeparators[] = {" ",        "\t",       ",",     " , ",
                               ",,",       "\r\n",     "\n",    "\n\n",
                               "\r\n\r\n", "  \r\n  ", ",\r\n,"};
  for (int round = 0; round < Iterations(300, 10); ++round) {
    // Blanks first, so that tokens and line ends fall on every view edge.
    std::string text(static_cast<std::size_t>(round), ' ');
    if (round % 7 == 0)
      text += "\r\n\n";  // empty records before the first value
    std::size_t count = 0;
    for (int k = 0; k < 40; ++k) {
      text += rng() % 3 == 0 ? kTokens[rng() % std::size(kTokens)]
                             : RandomPlainToken(rng);
      if (text.back() == '-' || text.back() == '+' || text.back() == '.')
        text += '1';
      text += kSeparators[rng() % std::size(kSeparators)];
      count += 3;  // room for the nulls
    }
    text += "/\r\n4321\r\n";
    ExpectSameAsGeneral(text, count, rng);
    if (::testing::Test::HasFailure()) break;
  }
}

TEST(PlainDecimalTest, LoneCarriageReturnAfterAValueIsLeftToTheGeneralPath) {
  std::mt19937_64 rng(TestSeed());
  // "1.5\r2" is one value that cannot be read: nothing is stored from it.
  const std::string text = std::string(100, ' ') + "1.5\r2 3\r\n";
  auto read = [&](std::size_t chunk, std::size_t buffer) {
    MemorySource source(text, chunk, buffer);
    std::vector<double> v = {-1, -1};
    const int status =
        TryReadFreeForm(source.channel, {ListItem::Real(v.data(), 2)});
    return std::make_pair(status, v);
  };
  const auto fast = read(1 << 20, InputChannel::kDefaultBufferSize);
  EXPECT_NE(fast.first, 0);
  EXPECT_EQ(fast.second, (std::vector<double>{-1, -1}));
  EXPECT_EQ(read(1, 16), fast);
  // Split over views: CR LF at the very end of what was read so far.
  for (std::size_t chunk = 1; chunk < 140; chunk += 13) {
    ExpectSameAsGeneral(std::string(chunk, ' ') + "1.25\r\n-2.5\r\n9\n", 2,
                        rng);
  }
}

}  // namespace
}  // namespace lpgm
