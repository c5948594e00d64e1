#include "platform/encoding.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>

#include "platform/unicode.h"

namespace lpgm::platform {
namespace {

constexpr std::uint64_t kDecodeFingerprint = 0x6D752DEA05FA139Au;
constexpr std::uint64_t kEncodeFingerprint = 0x34C5959E162077A3u;

std::string StreamAll(Utf8ToCp932Stream& stream, std::string_view input,
                      bool final) {
  std::string out;
  stream.Convert(input, &out, final);
  return out;
}

// FNV-1a over a text: a fingerprint of a whole conversion table.
class Fingerprint {
 public:
  void Add(const std::string& text) {
    for (char c : text) {
      hash_ = (hash_ ^ static_cast<unsigned char>(c)) * 0x100000001B3u;
    }
  }
  std::uint64_t value() const { return hash_; }

 private:
  std::uint64_t hash_ = 0xCBF29CE484222325u;
};

std::string Hex(unsigned value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%X:", value);
  return buffer;
}

// Both builds convert through their system (iconv on POSIX, code page 932
// on Windows); these fingerprints of the whole mapping, taken from the
// POSIX build, hold them to the same tables.
TEST(EncodingTest, EveryCp932CodeDecodesAlikeOnEverySystem) {
  Fingerprint fingerprint;
  for (unsigned byte = 0; byte < 0x100; ++byte) {
    fingerprint.Add(Hex(byte) + Cp932ToUtf8(std::string(1, char(byte))));
  }
  for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
    for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
      const std::string code{char(lead), char(trail)};
      fingerprint.Add(Hex((lead << 8) | trail) + Cp932ToUtf8(code));
    }
  }
  EXPECT_EQ(fingerprint.value(), kDecodeFingerprint);
}

TEST(EncodingTest, EveryBasicPlaneCharacterEncodesAlikeOnEverySystem) {
  Fingerprint fingerprint;
  for (char32_t code_point = 0x80; code_point < 0x10000; ++code_point) {
    if (code_point >= 0xD800 && code_point <= 0xDFFF) continue;
    std::string utf8;
    AppendUtf8(code_point, &utf8);
    fingerprint.Add(Hex(unsigned(code_point)) + Utf8ToCp932(utf8));
  }
  EXPECT_EQ(fingerprint.value(), kEncodeFingerprint);
}

// Typed text maps either Unicode form of these characters to the one CP932
// character.
TEST(EncodingTest, BothUnicodeFormsGiveTheOneCp932Character) {
  EXPECT_EQ(Utf8ToCp932("\uFF5E\u301C"), "\x81\x60\x81\x60");
  EXPECT_EQ(Utf8ToCp932("\u2225\u2016"), "\x81\x61\x81\x61");
  EXPECT_EQ(Utf8ToCp932("\uFF0D\u2212"), "\x81\x7C\x81\x7C");
  EXPECT_EQ(Utf8ToCp932("\u2015\u2014"), "\x81\x5C\x81\x5C");
  EXPECT_EQ(Utf8ToCp932("\uFFE0\u00A2"), "\x81\x91\x81\x91");
  EXPECT_EQ(Utf8ToCp932("\uFFE1\u00A3"), "\x81\x92\x81\x92");
  EXPECT_EQ(Utf8ToCp932("\uFFE2\u00AC"), "\x81\xCA\x81\xCA");
  // Decoding gives the first form.
  EXPECT_EQ(Cp932ToUtf8("\x81\x60"), "\uFF5E");
}

TEST(EncodingTest, SystemTextsRoundTrip) {
  const std::string prompt = "震源断層/ケースフォルダ定義ファイル:";
  const std::string prompt_cp932 = Utf8ToCp932(prompt);
  EXPECT_EQ(prompt_cp932.size(), 36u);
  EXPECT_EQ(Cp932ToUtf8(prompt_cp932), prompt);

  // The half-width middle dot is a single byte.
  const std::string target = "入力用･目標速度スペクトル.csv";
  const std::string target_cp932 = Utf8ToCp932(target);
  ASSERT_EQ(target_cp932.size(), 29u);
  EXPECT_EQ(target_cp932[6], '\xA5');
  EXPECT_EQ(Cp932ToUtf8(target_cp932), target);

  const std::string spectrum = "\\Korvel長周期.csv";
  const std::string spectrum_cp932 = Utf8ToCp932(spectrum);
  EXPECT_EQ(spectrum_cp932, "\\Korvel\x92\xB7\x8E\xFC\x8A\xFA.csv");
  EXPECT_EQ(Cp932ToUtf8(spectrum_cp932), spectrum);
}

// A stream converts all but a character still being completed at the end;
// bytes that no more bytes could make a character are not held back.
TEST(EncodingTest, OnlyACharacterStillBeingCompletedIsHeldBack) {
  EXPECT_EQ(CompleteUtf8Length(""), 0u);
  EXPECT_EQ(CompleteUtf8Length("abc"), 3u);
  EXPECT_EQ(CompleteUtf8Length("a\xE3"), 1u);
  EXPECT_EQ(CompleteUtf8Length("a\xE3\x81"), 1u);
  EXPECT_EQ(CompleteUtf8Length("a\xE3\x81\x82"), 4u);
  EXPECT_EQ(CompleteUtf8Length("\xF0\x9F\x98"), 0u);
  EXPECT_EQ(CompleteUtf8Length("a\xFF"), 2u);
  EXPECT_EQ(CompleteUtf8Length("a\x81"), 2u);
  EXPECT_EQ(CompleteUtf8Length("a\xE3\x41"), 3u);
}

TEST(EncodingTest, BackslashAndTildeAreAscii) {
  EXPECT_EQ(Utf8ToCp932("\\~"), "\\~");
  EXPECT_EQ(Cp932ToUtf8("\\~"), "\\~");
  // 表 has 0x5C as its second byte; it must decode as one character.
  EXPECT_EQ(Utf8ToCp932("表"), "\x95\x5C");
  EXPECT_EQ(Cp932ToUtf8("\x95\x5C"), "表");
  EXPECT_EQ(Cp932ToUtf8("\x95\x5C\\"), "表\\");
}

TEST(EncodingTest, UndecodableCp932PassesThrough) {
  EXPECT_EQ(Cp932ToUtf8("A\xFF"
                        "B"),
            "A\xFF"
            "B");
  EXPECT_EQ(Cp932ToUtf8("\x80\xA0\xFD"), "\x80\xA0\xFD");
  // A lead byte cut off by the end, and one followed by a byte that cannot
  // be its second: the lead alone passes, what follows still decodes.
  EXPECT_EQ(Cp932ToUtf8("x\x95"), "x\x95");
  EXPECT_EQ(Cp932ToUtf8("\x95 \x95\x5C"), "\x95 表");
  EXPECT_EQ(Cp932ToUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
  EXPECT_EQ(Cp932ToUtf8(""), "");
}

TEST(EncodingTest, UnconvertibleUtf8BecomesQuestionMark) {
  // A character without CP932 form: one '?' for the whole character.
  EXPECT_EQ(Utf8ToCp932("a😀b"), "a?b");
  EXPECT_EQ(Utf8ToCp932("\xEF\xBB\xBF"
                        "x"),
            "?x");  // U+FEFF
  // Malformed UTF-8: one '?' per byte.
  EXPECT_EQ(Utf8ToCp932("a\xFF"
                        "b"),
            "a?b");
  EXPECT_EQ(Utf8ToCp932("\x80"
                        "c"),
            "?c");
  EXPECT_EQ(Utf8ToCp932("\xC0\xAF"), "??");       // overlong '/'
  EXPECT_EQ(Utf8ToCp932("\xED\xA0\x80"), "???");  // surrogate
  EXPECT_EQ(Utf8ToCp932("\xE8\xA1"), "??");       // cut short at the end
  EXPECT_EQ(Utf8ToCp932("\xE8\xA1"
                        "a表"),
            "??a\x95\x5C");
}

TEST(EncodingTest, LongTextConvertsBeyondOneChunk) {
  std::string utf8;
  std::string cp932;
  for (int i = 0; i < 2000; ++i) {
    utf8 += "長周期,";
    cp932 += "\x92\xB7\x8E\xFC\x8A\xFA,";
  }
  EXPECT_EQ(Utf8ToCp932(utf8), cp932);
  EXPECT_EQ(Cp932ToUtf8(cp932), utf8);
}

TEST(EncodingTest, Cp932LiteralIsConvertedOnceAndKept) {
  static const char kLiteral[] = "定義ファイル";
  const std::string& first = Cp932Literal(kLiteral);
  const std::string& second = Cp932Literal(kLiteral);
  EXPECT_EQ(&first, &second);
  EXPECT_EQ(first, Utf8ToCp932(kLiteral));
  // A literal that really holds a question mark is fine.
  static const char kQuestion[] = "続行しますか?";
  EXPECT_EQ(Cp932Literal(kQuestion), Utf8ToCp932(kQuestion));
}

TEST(EncodingTest, Cp932LiteralWithoutCp932FormThrows) {
  static const char kEmoji[] = "😀";
  EXPECT_THROW(Cp932Literal(kEmoji), std::logic_error);
  static const char kMalformed[] = "\xFF";
  EXPECT_THROW(Cp932Literal(kMalformed), std::logic_error);
}

TEST(Utf8ToCp932StreamTest, CharacterSplitAtEveryPoint) {
  const std::string text = "表😀a";  // 3 + 4 + 1 bytes
  for (std::size_t cut = 0; cut <= text.size(); ++cut) {
    Utf8ToCp932Stream stream;
    std::string out = StreamAll(stream, text.substr(0, cut), false);
    out += StreamAll(stream, text.substr(cut), false);
    out += StreamAll(stream, "", true);
    EXPECT_EQ(out, "\x95\x5C?a") << "cut at " << cut;
  }
}

TEST(Utf8ToCp932StreamTest, EachCharacterComesOutWithItsLastByte) {
  const std::string text = "震源断層";  // four 3-byte characters
  const std::string expected = Utf8ToCp932(text);
  Utf8ToCp932Stream stream;
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    stream.Convert(text.substr(i, 1), &out, false);
    EXPECT_EQ(out, expected.substr(0, (i + 1) / 3 * 2)) << "byte " << i;
  }
}

TEST(Utf8ToCp932StreamTest, HoldsBackOnlyWhatCouldBeCompleted) {
  Utf8ToCp932Stream stream;
  EXPECT_EQ(StreamAll(stream, "a\xE8", false), "a");
  EXPECT_EQ(StreamAll(stream, "\xA1", false), "");
  EXPECT_EQ(StreamAll(stream, "\xA8", false), "\x95\x5C");

  // A byte that can start nothing is replaced at once.
  EXPECT_EQ(StreamAll(stream, "b\xFF", false), "b?");
  EXPECT_EQ(StreamAll(stream, "\xC0", false), "?");
  // A lead followed by a byte that cannot continue it is not held.
  EXPECT_EQ(StreamAll(stream, "\xE0\x80", false), "??");
  // An incomplete character broken off by a plain byte.
  EXPECT_EQ(StreamAll(stream, "\xE8\xA1", false), "");
  EXPECT_EQ(StreamAll(stream, "c", false), "??c");
}

TEST(Utf8ToCp932StreamTest, FinalTurnsHeldBytesIntoQuestionMarks) {
  Utf8ToCp932Stream stream;
  EXPECT_EQ(StreamAll(stream, "x\xF0\x9F\x98", false), "x");
  EXPECT_EQ(StreamAll(stream, "", true), "???");
  // Nothing is left over afterwards.
  EXPECT_EQ(StreamAll(stream, "y", true), "y");
}

}  // namespace
}  // namespace lpgm::platform
