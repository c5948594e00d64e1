#include "record/sample_block.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>

#include "platform/kernel.h"
#include "record/number_parse.h"
#include "record_testing.h"

namespace lpgm {
namespace {

using ::lpgm::testing::Iterations;
using ::lpgm::testing::TestSeed;

std::uint64_t Bits(double x) {
  std::uint64_t b;
  std::memcpy(&b, &x, 8);
  return b;
}

// Bytes that matter to the classes, and now and then any byte at all.
char RandomByte(std::mt19937_64& rng) {
  static const char kBytes[] = "0123456789 \t,\r\n.+-EeDdQ/*'\"x";
  if (rng() % 8 == 0) return static_cast<char>(rng() % 256);
  return kBytes[rng() % (sizeof kBytes - 1)];
}

TEST(SampleBlockTest, VectorMasksAgreeWithTheByteByByteMasks) {
  std::mt19937_64 rng(TestSeed());
  char block[kBlockView];
  for (long n = 0; n < Iterations(200000); ++n) {
    for (char& c : block) c = RandomByte(rng);
    const BlockMasks slow = ClassifyBlock(platform::Kernel::kScalar, block);
    for (platform::Kernel kernel :
         {platform::Kernel::kSse2, platform::Kernel::kAvx2}) {
      if (!platform::KernelRuns(kernel)) continue;
      const BlockMasks fast = ClassifyBlock(kernel, block);
      ASSERT_EQ(fast.separator, slow.separator) << n;
      ASSERT_EQ(fast.special, slow.special) << n;
      ASSERT_EQ(fast.other, slow.other) << n;
      ASSERT_EQ(fast.point, slow.point) << n;
    }
  }
}

TEST(SampleBlockTest, CarriageReturnSeparatesOnlyBeforeALineFeed) {
  std::string text(kBlockView, 'x');
  text.replace(0, 4, "1\r2\r");
  text[4] = '\n';
  text[62] = '\r';
  text[63] = '\r';
  text[64] = '\n';  // the line feed after the block still counts
  const BlockMasks m = ClassifyBlock(platform::Kernel::kScalar, text.data());
  EXPECT_EQ(m.separator, (1ULL << 3) | (1ULL << 4) | (1ULL << 63));
  EXPECT_EQ(m.special, 1ULL << 4);
  EXPECT_EQ(ClassifyBlock(platform::BestKernel(), text.data()).separator,
            m.separator);
}

// A token of the shapes samples take, and of the shapes next to them that
// the fast path must leave: long mantissas, long exponents, lone signs.
std::string RandomToken(std::mt19937_64& rng) {
  std::string t;
  auto digits = [&](unsigned n) {
    for (unsigned i = 0; i < n; ++i)
      t += static_cast<char>('0' + static_cast<int>(rng() % 10));
  };
  if (rng() % 3 == 0) t += rng() % 2 ? '-' : '+';
  if (rng() % 6 == 0) t += std::string(rng() % 4, '0');  // leading zeros
  digits(static_cast<unsigned>(rng() % 10));
  if (rng() % 4 != 0) {
    t += '.';
    digits(static_cast<unsigned>(rng() % 11));
  }
  if (rng() % 4 == 0) {
    t += "EeDd"[rng() % 4];
    t += rng() % 2 ? '-' : '+';
    digits(2);
  } else if (rng() % 3 == 0) {
    t += "EeDd"[rng() % 4];
    if (rng() % 4 != 0) t += rng() % 2 ? '-' : '+';
    digits(static_cast<unsigned>(rng() % 6));
  }
  if (!t.empty() && rng() % 20 == 0) t[rng() % t.size()] = RandomByte(rng);
  return t.empty() ? std::string(".") : t;
}

// Where the fast reading takes a token, the general grammar takes the
// same bytes to the same bits.
void ExpectAgrees(const std::string& token, unsigned at) {
  std::string text(kBlockView, ' ');
  if (token.size() + at >= kBlockBytes) return;
  text.replace(at, token.size(), token);
  const BlockMasks m = ClassifyBlock(platform::BestKernel(), text.data());
  const unsigned end = at + static_cast<unsigned>(token.size());
  if ((m.separator & (((1ULL << end) - 1) & ~((1ULL << at) - 1))) != 0)
    return;  // not one token
  PlainDecimal plain{};
  if (!ScanPlainToken(text.data(), m, at, end, &plain)) return;
  const double fast = plain.Value();
  double general = 0;
  const ScanResult r =
      ScanReal(token.data(), token.data() + token.size(), &general);
  ASSERT_EQ(r.ec, std::errc()) << token;
  EXPECT_EQ(r.ptr, token.data() + token.size()) << token;
  EXPECT_EQ(Bits(fast), Bits(general)) << token;
}

TEST(SampleBlockTest, PlainTokensReadAsTheGeneralGrammarReadsThem) {
  std::mt19937_64 rng(TestSeed());
  for (long n = 0; n < Iterations(1000000); ++n) {
    const std::string token = RandomToken(rng);
    ExpectAgrees(token, static_cast<unsigned>(rng() % kBlockBytes));
    if (::testing::Test::HasFailure()) return;
  }
}

TEST(SampleBlockTest, SampleShapesAreTakenAndOthersLeft) {
  struct Case {
    const char* token;
    bool taken;
  };
  const Case kCases[] = {
      {"-123.4567", true},
      {"0.0000", true},
      {"-0.0000", true},
      {"-1.23457E+02", true},
      {"4.5d-3", true},
      {"7.D0", true},
      {".5", true},
      {"5.", true},
      {"+000012.5", true},
      {"12345678.1234567", true},    // 15 digits
      {"123456789.123456", false},   // nine whole digits
      {"1234567.123456789", false},  // nine decimals
      {"12345678.12345678", false},  // 16 digits
      {"1.0E+0001", true},
      {"1.0E+00001", false},
      {"1.0E", false},
      {"1.0E+", false},
      {"1.0-5", false},
      {"1.0E+30", false},  // scale
      {"-", false},
      {".", false},
      {"1.2.3", false},
      {"1/", false},
      {"2*5", false},
      {"'a'", false},
      {"-.E5", false},
      {"1e2e3", false},
  };
  for (const Case& c : kCases) {
    for (unsigned at : {0u, 1u, 17u, 40u}) {
      std::string text(kBlockView, ' ');
      const std::string token = c.token;
      text.replace(at, token.size(), token);
      const BlockMasks m = ClassifyBlock(platform::BestKernel(), text.data());
      PlainDecimal d;
      EXPECT_EQ(ScanPlainToken(text.data(), m, at,
                               at + static_cast<unsigned>(token.size()), &d),
                c.taken)
          << token << " at " << at;
      ExpectAgrees(token, at);
    }
  }
  std::string text(kBlockView, ' ');
  text.replace(3, 7, "-0.0000");
  PlainDecimal d;
  ASSERT_TRUE(ScanPlainToken(text.data(),
                             ClassifyBlock(platform::BestKernel(), text.data()),
                             3, 10, &d));
  EXPECT_EQ(Bits(d.Value()), Bits(-0.0));
}

}  // namespace
}  // namespace lpgm
