#include "compute/sha256.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace lpgm {
namespace {

// The example messages of FIPS 180-4 (and its companion examples document),
// with the empty message.
TEST(Sha256Test, PublishedExampleVectors) {
  const std::pair<std::string, const char*> vectors[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc",
       "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {"abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmno"
       "pjklmnopqklmnopqrlmnopqrsmnopqrstnopqrstu",
       "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
      {std::string(1000000, 'a'),
       "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
  };
  for (const auto& [message, digest] : vectors)
    EXPECT_EQ(Sha256Hex(message), digest) << message.size() << " bytes";
}

// Padding crosses a block boundary at 56 bytes; any split of the message
// over Update calls gives the digest of the whole.
TEST(Sha256Test, SplitUpdatesGiveTheDigestOfTheWhole) {
  std::mt19937 random(21);
  for (std::size_t size = 0; size < 300; ++size) {
    std::string message(size, '\0');
    for (char& c : message) c = static_cast<char>(random() & 0xff);
    std::size_t cut = size == 0 ? 0 : random() % size;
    Sha256 hash;
    hash.Update(std::string_view(message).substr(0, cut));
    hash.Update(std::string_view(message).substr(cut));
    std::string hex;
    for (std::uint8_t b : hash.Finish()) {
      constexpr char kDigits[] = "0123456789abcdef";
      hex += kDigits[b >> 4];
      hex += kDigits[b & 0xf];
    }
    ASSERT_EQ(hex, Sha256Hex(message)) << size << " cut at " << cut;
  }
}

}  // namespace
}  // namespace lpgm
