#include "record/free_form.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "platform/kernel.h"
#include "record_testing.h"

namespace lpgm {
namespace {

using ::lpgm::testing::ExpectStop;
using ::lpgm::testing::Iterations;
using ::lpgm::testing::MemorySource;
using ::lpgm::testing::TestSeed;

// Runs `read` over `data` with the usual buffer (where the fast path for
// reals runs) and with tiny buffers fed in small pieces.
void ForEachSource(const std::string& data,
                   const std::function<void(InputChannel&)>& read) {
  const std::size_t kPieces[][2] = {
      {1 << 20, InputChannel::kDefaultBufferSize}, {1, 16}, {2, 16}, {7, 100}};
  for (const auto& p : kPieces) {
    SCOPED_TRACE("chunk " + std::to_string(p[0]) + ", buffer " +
                 std::to_string(p[1]));
    MemorySource source(data, p[0], p[1]);
    read(source.channel);
  }
}

std::vector<double> Reals(InputChannel& channel, std::vector<double> v) {
  ReadFreeForm(channel, {ListItem::Real(v.data(), v.size())});
  return v;
}

template <std::size_t N>
std::string Str(const TextField<N>& t) {
  return std::string(t.data(), N);
}

std::string Padded(const std::string& text, std::size_t n) {
  return text + std::string(n - text.size(), ' ');
}

using V = std::vector<double>;

TEST(FreeFormTest, SeparatorsAreBlanksTabsCommasAndRecordEnds) {
  ForEachSource("1 2\t3,4 , 5\r\n6\n\n  \n7,\n8", [](InputChannel& channel) {
    EXPECT_EQ(Reals(channel, V(8, -1)), (V{1, 2, 3, 4, 5, 6, 7, 8}));
  });
}

TEST(FreeFormTest, NullValuesKeepTheEarlierValue) {
  const struct {
    const char* data;
    V expected;
  } kCases[] = {
      {",,3", {-1, -1, 3}},       {"1,,3", {1, -1, 3}},
      {"1, ,3", {1, -1, 3}},      {"1,\n,3", {1, -1, 3}},
      {" ,2,,", {-1, 2, -1}},     {"1 ,\t2", {1, 2}},
      {"2*,3", {-1, -1, 3}},      {"1,2,3,", {1, 2, 3}},
      {"3*1.5", {1.5, 1.5, 1.5}}, {"1*2 2*-3", {2, -3, -3}},
      {"1 2*", {1, -1, -1}},      {"2*1e1,,", {10, 10, -1}},
  };
  for (const auto& c : kCases) {
    ForEachSource(c.data, [&](InputChannel& channel) {
      EXPECT_EQ(Reals(channel, V(c.expected.size(), -1)), c.expected) << c.data;
    });
  }
}

TEST(FreeFormTest, SlashEndsTheReadAndTheRestOfTheLastRecordIsDiscarded) {
  ForEachSource("1 2 / 3\n4 5 6\n7\n/\n8/9\n,5", [](InputChannel& channel) {
    EXPECT_EQ(Reals(channel, V(4, -1)), (V{1, 2, -1, -1}));
    EXPECT_EQ(Reals(channel, V(1, -1)), (V{4}));  // 5 and 6 are discarded
    EXPECT_EQ(Reals(channel, V(2, -1)), (V{7, -1}));
    EXPECT_EQ(Reals(channel, V(2, -1)), (V{8, -1}));
    EXPECT_EQ(Reals(channel, V(2, -1)), (V{-1, 5}));  // 9 was discarded
  });
}

TEST(FreeFormTest, EmptyListSkipsExactlyOneRecord) {
  ForEachSource("a b c\n\n7 8\n", [](InputChannel& channel) {
    ReadFreeForm(channel, {});
    ReadFreeForm(channel, {});  // the empty record
    EXPECT_EQ(Reals(channel, V(1, -1)), (V{7}));
    EXPECT_EQ(ExpectStop([&] { ReadFreeForm(channel, {}); }).number(),
              kErrEndOfFile);
  });
}

TEST(FreeFormTest, EndOfFileDuringTheReadEndsTheRun) {
  for (const char* data : {"", "1\n", "\n\n1 , ", "'open\n"}) {
    MemorySource source(data);
    Text40 text;
    double v[2];
    RunStop stop = ExpectStop([&] {
      if (data[0] == '\'') {
        TryReadFreeForm(source.channel, {ListItem::Text(&text)});
      } else {
        TryReadFreeForm(source.channel, {ListItem::Real(v, 2)});
      }
    });
    EXPECT_EQ(stop.number(), kErrEndOfFile) << data;
    EXPECT_EQ(stop.message(),
              "lpgm: severe (24): end-of-file during read, unit 13, file "
              "case1\\x.acc");
  }
}

TEST(FreeFormTest, QuotedTextIsTakenAsWritten) {
  const struct {
    const char* data;
    const char* expected;
  } kCases[] = {
      {"'it''s, a / test'", "it's, a / test"},
      {"\"say \"\"hi\"\" 'x'\"", "say \"hi\" 'x'"},
      {"'abc\r\ndef'", "abcdef"},  // continues on the next record
      {"  \n 'a b' rest", "a b"},
      {"''", ""},
      {"\"C:\\My Data\\def.csv\"", "C:\\My Data\\def.csv"},
      {"C:\\My Data\\def.csv", "C:\\My"},
      {"abc,def", "abc"},
      {"C:/data/def.csv", "C:"},
      {"abc\tdef", "abc"},
      {"2*'x'", "x"},
      {"12.5e3", "12.5e3"},
      {"0123456789012345678901234567890123456789XYZ",
       "0123456789012345678901234567890123456789"},
  };
  for (const auto& c : kCases) {
    ForEachSource(c.data, [&](InputChannel& channel) {
      Text40 text;
      text.fill('#');
      ReadFreeForm(channel, {ListItem::Text(&text)});
      EXPECT_EQ(Str(text), Padded(c.expected, 40)) << c.data;
    });
  }
}

TEST(FreeFormTest, ReadsMixedListsAndStridedReals) {
  ForEachSource(
      "  2, 3 'fault 1' ab/cd\n1.5 2.5 3.5 9", [](InputChannel& channel) {
        std::int32_t counts[2] = {0, 0};
        char a[10], b[3];
        ReadFreeForm(channel, {ListItem::Integer(counts, 2),
                               ListItem::Text(a, 10), ListItem::Text(b, 3)});
        EXPECT_EQ(counts[0], 2);
        EXPECT_EQ(counts[1], 3);
        EXPECT_EQ(std::string(a, 10), "fault 1   ");
        EXPECT_EQ(std::string(b, 3), "ab ");
        double m[3][2] = {{-1, -1}, {-1, -1}, {-1, -1}};
        ReadFreeForm(channel, {ListItem::Real(&m[0][1], 3, 2)});
        EXPECT_EQ(m[0][1], 1.5);
        EXPECT_EQ(m[1][1], 2.5);
        EXPECT_EQ(m[2][1], 3.5);
        EXPECT_EQ(m[0][0], -1);
        EXPECT_EQ(m[1][0], -1);
        EXPECT_EQ(m[2][0], -1);
      });
}

TEST(FreeFormTest, ValueThatCannotBeReadIsListSyntaxError) {
  const struct {
    const char* data;
    bool integer;
  } kCases[] = {
      {"abc", false},
      {"1.5.", false},
      {"'1.5'", false},
      {"1.5", true},
      {"1e2", true},
      {"2147483648", true},
      {"-2147483649", true},
      {"0*5", false},
      {"1.5\r2\n", false},
      {"*5", false},
      {"1e", false},
      // Sign, point and exponent without a digit of the value.
      {". 1", false},
      {"+ 1", false},
      {"-.e5 1", false},
      {"1.5e+ 2", false},
  };
  for (const auto& c : kCases) {
    ForEachSource(c.data, [&](InputChannel& channel) {
      std::int32_t n = -1;
      double x[2] = {-1, -1};
      auto vars = c.integer ? ListItem::Integer(&n) : ListItem::Real(x, 1);
      EXPECT_EQ(TryReadFreeForm(channel, {vars}), kErrListSyntax) << c.data;
      EXPECT_EQ(n, -1);
      EXPECT_EQ(x[0], -1);
    });
  }
  MemorySource source("7 x\n");
  double x[2] = {-1, -1};
  RunStop stop =
      ExpectStop([&] { ReadFreeForm(source.channel, {ListItem::Real(x, 2)}); });
  EXPECT_EQ(stop.message(),
            "lpgm: severe (59): list-directed I/O syntax error, unit 13, file "
            "case1\\x.acc");
  EXPECT_EQ(x[0], 7);  // read before the error
  EXPECT_EQ(x[1], -1);
}

// --- Randomised comparison of the fast and the general path ---------------

// A free-form text built together with what a read must leave in each
// variable: reals, then one whole number, then strided reals, then a text.
struct Sample {
  std::string data;
  std::vector<double> a;
  std::int32_t i = 0;
  std::vector<double> b;
  std::string text;
};

constexpr std::size_t kTextLength = 8;
constexpr int kSentinel = 4321;

std::string RealToken(std::mt19937_64& rng, double* value) {
  double x;
  switch (rng() % 4) {
    case 0:
      x = std::ldexp(static_cast<double>(rng() % 2000001) - 1000000,
                     -static_cast<int>(rng() % 12));
      break;
    case 1:
      x = std::pow(10.0, static_cast<double>(rng() % 40) - 20) *
          static_cast<double>(rng() % 1000) / 7;
      break;
    case 2:
      x = static_cast<double>(static_cast<std::int64_t>(rng() % 100000) -
                              50000);
      break;
    default:
      x = std::bit_cast<double>(rng());
      if (!std::isfinite(x)) x = 1;
      break;
  }
  char text[512];
  std::string s;
  switch (rng() % 6) {
    case 0:
      std::snprintf(text, sizeof text, "%.*g", static_cast<int>(1 + rng() % 17),
                    x);
      s = text;
      break;
    case 1:
      std::snprintf(text, sizeof text, "%.*f", static_cast<int>(rng() % 8), x);
      s = text;
      break;
    case 2: {
      std::snprintf(text, sizeof text, "%.*e", static_cast<int>(rng() % 20), x);
      s = text;
      std::size_t e = s.find('e');
      switch (rng() % 4) {
        case 0:
          s[e] = 'E';
          break;
        case 1:
          s[e] = rng() & 1 ? 'D' : 'd';
          break;
        case 2:
          s.erase(e, 1);
          break;  // 1.5-3
        default:
          break;
      }
      break;
    }
    case 3:
      std::snprintf(text, sizeof text, "%.0f", std::fmod(x, 1e15));
      s = text;
      break;
    case 4:
      std::snprintf(text, sizeof text, "%.25e", x);
      s = text;
      break;  // general path
    default:
      std::snprintf(text, sizeof text, "%.3f", std::fmod(x, 1000));
      s = text;
      if (s.rfind("0.", 0) == 0)
        s.erase(0, 1);  // .5
      else if (s.rfind("-0.", 0) == 0)
        s.erase(1, 1);
      break;
  }
  if (s[0] != '-' && rng() % 8 == 0) s = "+" + s;
  std::string normal = s;
  for (char& c : normal)
    if (c == 'D' || c == 'd') c = 'e';
  std::size_t sign = normal.find_first_of("+-", 1);
  if (sign != std::string::npos && normal[sign - 1] != 'e' &&
      normal[sign - 1] != 'E')
    normal.insert(sign, "e");
  *value = std::strtod(normal.c_str(), nullptr);
  return s;
}

std::string TextToken(std::mt19937_64& rng, std::string* value) {
  const char kWord[] = "abcXYZ019.:\\-_+";
  const char kQuoted[] = "ab ,/\t.";
  std::string content;
  int n = static_cast<int>(rng() % 12);
  if (rng() % 2 == 0) {
    for (int k = 0; k < n + 1; ++k)
      content += kWord[rng() % (sizeof kWord - 1)];
    *value = content;
    return content;
  }
  char q = rng() & 1 ? '\'' : '"';
  std::string token(1, q);
  for (int k = 0; k < n; ++k) {
    switch (rng() % 10) {
      case 0:
        token += std::string(2, q);
        content += q;
        break;
      case 1:
        token += rng() & 1 ? "\n" : "\r\n";
        break;  // goes on over records
      default: {
        char c = kQuoted[rng() % (sizeof kQuoted - 1)];
        token += c;
        content += c;
      }
    }
  }
  *value = content;
  return token + q;
}

Sample RandomSample(std::mt19937_64& rng) {
  Sample s;
  enum Kind { kReal, kInt, kText };
  struct Slot {
    Kind kind;
    double* real;
  };
  s.a.assign(1 + rng() % 60, 0);
  s.b.assign(rng() % 30, 0);
  for (std::size_t k = 0; k < s.a.size(); ++k)
    s.a[k] = -1000.0 - static_cast<double>(k);
  for (std::size_t k = 0; k < s.b.size(); ++k)
    s.b[k] = -2000.0 - static_cast<double>(k);
  s.i = -7;
  s.text = "########";
  std::vector<Slot> slots;
  for (double& x : s.a) slots.push_back({kReal, &x});
  slots.push_back({kInt, nullptr});
  for (double& x : s.b) slots.push_back({kReal, &x});
  slots.push_back({kText, nullptr});

  // Pieces of the text, "" for a null; a null needs commas on both sides.
  std::vector<std::string> pieces;
  bool slash = false;
  std::size_t k = 0;
  while (k < slots.size()) {
    unsigned choice = static_cast<unsigned>(rng() % 100);
    if (choice < 2) {
      slash = true;
      break;
    }
    if (choice < 10) {
      pieces.emplace_back();
      ++k;
      continue;
    }
    std::size_t r = 1;
    bool repeated = choice < 22;
    if (repeated) {
      r = 1 + rng() % 5;
      if (k + r > slots.size()) r = slots.size() - k;
    }
    if (repeated && choice < 15) {  // r*: r nulls
      pieces.push_back(std::to_string(r) + "*");
      k += r;
      continue;
    }
    Kind kind = slots[k].kind;
    for (std::size_t j = 1; j < r; ++j) {
      if (slots[k + j].kind != kind) r = j;
    }
    std::string token;
    double real = 0;
    std::string text;
    std::int32_t whole = static_cast<std::int32_t>(rng());
    switch (kind) {
      case kReal:
        token = RealToken(rng, &real);
        break;
      case kInt:
        token = std::to_string(whole);
        break;
      case kText:
        token = TextToken(rng, &text);
        break;
    }
    for (std::size_t j = k; j < k + r; ++j) {
      if (kind == kReal) *slots[j].real = real;
      if (kind == kInt) s.i = whole;
      if (kind == kText)
        s.text = (text + std::string(kTextLength, ' ')).substr(0, kTextLength);
    }
    pieces.push_back(repeated ? std::to_string(r) + "*" + token : token);
    k += r;
  }
  const char* kPlain[] = {" ", "  ", "\t", "\n", "\r\n", " \n\n ", "\n  \r\n"};
  const char* kComma[] = {",", " , ", ",\n", "\n,", "\t,  ", ",\r\n\r\n"};
  auto comma = [&] { return std::string(kComma[rng() % std::size(kComma)]); };
  if (rng() % 4 == 0)
    s.data += rng() & 1 ? "\n" : "  \r\n";  // empty records first
  for (std::size_t p = 0; p < pieces.size(); ++p) {
    s.data += pieces[p];
    bool last = p + 1 == pieces.size();
    if (last && !slash) break;
    if (pieces[p].empty() || (!last && pieces[p + 1].empty()) ||
        rng() % 3 == 0) {
      s.data += comma();
    } else {
      s.data += kPlain[rng() % std::size(kPlain)];
    }
  }
  if (!pieces.empty() && pieces.back().empty() && !slash) s.data += ",";
  if (slash) s.data += "/";
  s.data += " 99 junk,";  // discarded: the rest of the last record
  s.data += rng() & 1 ? "\r\n" : "\n";
  s.data += std::to_string(kSentinel) + "\n";
  return s;
}

TEST(FreeFormTest, FastAndGeneralPathsAgreeWithTheRulesOnRandomSamples) {
  std::mt19937_64 rng(TestSeed());
  long failures = 0;
  for (long n = 0, total = Iterations(4000); n < total && failures < 10; ++n) {
    Sample want = RandomSample(rng);
    const std::size_t kPieces[][2] = {
        {1 << 20, InputChannel::kDefaultBufferSize},
        {1 + rng() % 7, 16 + rng() % 8},
        {1 + rng() % 300, 64 + rng() % 200}};
    for (const auto& p : kPieces) {
      MemorySource source(want.data, p[0], p[1]);
      Sample got;
      got.a.resize(want.a.size());
      got.b.resize(want.b.size());
      for (std::size_t k = 0; k < got.a.size(); ++k)
        got.a[k] = -1000.0 - static_cast<double>(k);
      std::vector<double> strided(3 * got.b.size() + 1, 5.5);
      for (std::size_t k = 0; k < got.b.size(); ++k)
        strided[3 * k] = -2000.0 - static_cast<double>(k);
      got.i = -7;
      char text[kTextLength];
      std::memset(text, '#', kTextLength);
      ReadFreeForm(source.channel,
                   {ListItem::Real(got.a.data(), got.a.size()),
                    ListItem::Integer(&got.i),
                    ListItem::Real(strided.data(), got.b.size(), 3),
                    ListItem::Text(text, kTextLength)});
      for (std::size_t k = 0; k < got.b.size(); ++k) {
        got.b[k] = strided[3 * k];
        EXPECT_EQ(strided[3 * k + 1], 5.5);
        EXPECT_EQ(strided[3 * k + 2], 5.5);
      }
      got.text.assign(text, kTextLength);
      std::int32_t next = 0;
      ReadFreeForm(source.channel, {ListItem::Integer(&next)});
      // Compared as bytes, so that NaN payloads and zero signs count; an
      // empty array compares equal without touching its (null) data.
      auto same_bits = [](const std::vector<double>& x,
                          const std::vector<double>& y) {
        return x.size() == y.size() &&
               (x.empty() ||
                std::memcmp(x.data(), y.data(), 8 * x.size()) == 0);
      };
      bool same = got.i == want.i && got.text == want.text &&
                  next == kSentinel && same_bits(got.a, want.a) &&
                  same_bits(got.b, want.b);
      if (!same) {
        ++failures;
        std::string diff;
        for (std::size_t k = 0; k < want.a.size(); ++k) {
          if (std::memcmp(&got.a[k], &want.a[k], 8) != 0)
            diff += " a[" + std::to_string(k) +
                    "]=" + std::to_string(got.a[k]) + " want " +
                    std::to_string(want.a[k]);
        }
        for (std::size_t k = 0; k < want.b.size(); ++k) {
          if (std::memcmp(&got.b[k], &want.b[k], 8) != 0)
            diff += " b[" + std::to_string(k) +
                    "]=" + std::to_string(got.b[k]) + " want " +
                    std::to_string(want.b[k]);
        }
        ADD_FAILURE() << "chunk " << p[0] << " buffer " << p[1] << ": int "
                      << got.i << " want " << want.i << ", text \"" << got.text
                      << "\" want \"" << want.text << "\", next " << next
                      << diff
                      << "\ndata: " << ::testing::PrintToString(want.data);
        break;
      }
    }
  }
}

// --- The block reading of long sample runs ---------------------------------

// A long run of samples as records hold them, with what a read must give.
struct SampleRun {
  std::string data;
  std::vector<double> want;
  std::size_t count = 0;  // variables the read fills before it stops
  long last_line = 0;     // the record the read ends in
};

// A sample token and its value: mostly short plain decimals, sometimes
// E and D forms, 15 to 17 characters, leading zeros.
std::string SampleToken(std::mt19937_64& rng, double* value) {
  char text[64];
  const double x = static_cast<double>(
                       static_cast<std::int64_t>(rng() % 2000001) - 1000000) /
                   std::pow(10.0, static_cast<double>(rng() % 6));
  switch (rng() % 8) {
    case 0:
      std::snprintf(text, sizeof text, "%.5E", x);
      break;
    case 1:
      std::snprintf(text, sizeof text, "%.*f", static_cast<int>(rng() % 12),
                    x * 1e3);
      break;  // up to 17 characters
    case 2:
      std::snprintf(text, sizeof text, "%012.4f", x);
      break;  // leading zeros
    default:
      std::snprintf(text, sizeof text, "%.4f", x);
  }
  std::string s = text;
  *value = std::strtod(text, nullptr);
  if (rng() % 10 == 0 && s.find('E') != std::string::npos) s[s.find('E')] = 'D';
  return s;
}

SampleRun RandomRun(std::mt19937_64& rng, std::size_t n) {
  const char* kGaps[] = {" ",  "  ",    "\t",  ",",     " , ", "\r\n",
                         "\n", " \r\n", ",\n", "\r\n ", "\n\n"};
  SampleRun run;
  long line = 1;
  for (std::size_t k = 0; k < n; ++k) {
    double v;
    const std::string token = SampleToken(rng, &v);
    run.data += std::string(rng() % 3, ' ');
    run.data += token;
    run.want.push_back(v);
    run.count = k + 1;
    run.last_line = line;
    // Now and then a byte the block reading leaves to the general one.
    if (rng() % 500 == 0) {
      run.data += "/";
      break;
    }
    if (k + 1 == n) break;
    std::string gap = kGaps[rng() % std::size(kGaps)];
    line += static_cast<long>(std::count(gap.begin(), gap.end(), '\n'));
    if (k + 3 < n && rng() % 400 == 0) {
      gap += "2*5 ";  // a repeat count
      run.want.push_back(5);
      run.want.push_back(5);
      k += 2;
      run.count = k + 1;
      run.last_line = line;
    }
    run.data += gap;
  }
  run.want.resize(n, -1.0);
  return run;
}

// The values, the record the read ends in and the next record all as the
// text says, for each way of handing the text to the channel.
void LongSampleRunsReadExactly(platform::Kernel kernel);
void SeparatorsAtEveryOffset(platform::Kernel kernel);

// Runs `f` with the blocks read by every kernel that runs here.
void ForEachKernel(const std::function<void(platform::Kernel)>& f) {
  for (platform::Kernel kernel :
       {platform::Kernel::kScalar, platform::Kernel::kSse2,
        platform::Kernel::kAvx2}) {
    if (!platform::KernelRuns(kernel)) continue;
    SCOPED_TRACE(platform::KernelName(kernel));
    f(kernel);
  }
}

TEST(FreeFormTest, LongSampleRunsReadExactlyAtEveryBlockPosition) {
  ForEachKernel(LongSampleRunsReadExactly);
}

void LongSampleRunsReadExactly(platform::Kernel kernel) {
  std::mt19937_64 rng(TestSeed());
  for (long iter = 0; iter < Iterations(300); ++iter) {
    const std::size_t n = 1 + rng() % 400;
    SampleRun run = RandomRun(rng, n);
    const bool record_end = rng() % 4 != 0;
    if (run.count == n) {  // a last record without its end now and then
      run.data += " junk\n4321";
      if (record_end) run.data += rng() % 2 ? "\r\n" : "\n";
    } else {
      run.data += " junk\n4321\n";
    }
    const std::size_t kPieces[][2] = {
        {1 << 20, InputChannel::kDefaultBufferSize},
        {1 + rng() % 300, 100 + rng() % 200},
        {1 + rng() % 5000, 1000 + rng() % 3000}};
    for (const auto& p : kPieces) {
      MemorySource source(run.data, p[0], p[1]);
      std::vector<double> got(n, -1.0);
      ReadFreeForm(source.channel, {ListItem::Real(got.data(), n)}, nullptr,
                   kernel);
      ASSERT_EQ(std::memcmp(got.data(), run.want.data(), 8 * n), 0)
          << "chunk " << p[0] << " buffer " << p[1]
          << "\ndata: " << ::testing::PrintToString(run.data);
      EXPECT_EQ(source.channel.records_begun(), run.last_line);
      std::int32_t next = 0;
      ReadFreeForm(source.channel, {ListItem::Integer(&next)});
      EXPECT_EQ(next, 4321);
      EXPECT_EQ(source.channel.records_begun(), run.last_line + 1);
    }
  }
}

// Every separator and record end at every offset from a block's start and
// from the end of the channel's window.
TEST(FreeFormTest, SeparatorsAtEveryOffsetKeepValuesAndLineNumbers) {
  ForEachKernel(SeparatorsAtEveryOffset);
}

void SeparatorsAtEveryOffset(platform::Kernel kernel) {
  const char* kGaps[] = {" ", "\t", ",", "\n", "\r\n", " ,\r\n", "\r\n\r\n"};
  for (const char* gap : kGaps) {
    for (std::size_t pad = 0; pad < 80; ++pad) {
      std::string data(pad, ' ');
      std::vector<double> want;
      long lines = 1;
      for (int k = 0; k < 40; ++k) {
        data += k % 2 ? "-12.3456" : "7.25E+01";
        want.push_back(k % 2 ? -12.3456 : 72.5);
        if (k == 39) break;
        data += gap;
        lines += static_cast<long>(std::strchr(gap, '\n') != nullptr) +
                 static_cast<long>(std::string(gap) == "\r\n\r\n");
      }
      data += "\n9\n";
      for (std::size_t buffer : {InputChannel::kDefaultBufferSize,
                                 std::size_t{97}, std::size_t{160}}) {
        MemorySource source(data, 1 << 20, buffer);
        std::vector<double> got(want.size(), 0);
        ReadFreeForm(source.channel, {ListItem::Real(got.data(), got.size())},
                     nullptr, kernel);
        EXPECT_EQ(got, want) << "pad " << pad << " buffer " << buffer;
        EXPECT_EQ(source.channel.records_begun(), lines)
            << "pad " << pad << " buffer " << buffer;
      }
    }
  }
}

TEST(FreeFormTest, LastSampleAtTheEndOfInputWithoutARecordEnd) {
  for (std::size_t n : {1u, 7u, 8u, 9u, 63u, 64u, 65u, 200u}) {
    std::string data;
    for (std::size_t k = 0; k < n; ++k) data += " 1.5";
    ForEachSource(data, [&](InputChannel& channel) {
      std::vector<double> got = Reals(channel, V(n, 0));
      EXPECT_EQ(got, V(n, 1.5)) << n;
      EXPECT_EQ(channel.records_begun(), 1);
    });
    ForEachSource(data, [&](InputChannel& channel) {
      RunStop stop = ExpectStop([&] { Reals(channel, V(n + 1, 0)); });
      EXPECT_NE(stop.message().find("end-of-file"), std::string::npos)
          << stop.message();
    });
  }
}

}  // namespace
}  // namespace lpgm
