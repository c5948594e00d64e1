// SHA-256 (FIPS 180-4) of bytes in memory, for the record of what made a
// case file: the digest of the source record and of the case file written.
#ifndef LPGM_COMPUTE_SHA256_H_
#define LPGM_COMPUTE_SHA256_H_

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace lpgm {

class Sha256 {
 public:
  Sha256();
  // Adds bytes to the message; may be called any number of times.
  void Update(std::string_view bytes);
  // The digest of everything added. The object is spent afterwards.
  std::array<std::uint8_t, 32> Finish();

 private:
  void Block(const std::uint8_t* block);

  std::array<std::uint32_t, 8> state_;
  std::array<std::uint8_t, 64> pending_{};
  std::size_t pending_size_ = 0;
  std::uint64_t length_ = 0;  // bytes added
};

// The digest of `bytes` as 64 lower-case hexadecimal digits.
std::string Sha256Hex(std::string_view bytes);

}  // namespace lpgm

#endif  // LPGM_COMPUTE_SHA256_H_
