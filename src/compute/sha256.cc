#include "compute/sha256.h"

#include <algorithm>
#include <cstring>

namespace lpgm {

namespace {

constexpr std::array<std::uint32_t, 64> kRound = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1,
    0x923f82a4, 0xab1c5ed5, 0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3,
    0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174, 0xe49b69c1, 0xefbe4786,
    0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147,
    0x06ca6351, 0x14292967, 0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13,
    0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85, 0xa2bfe8a1, 0xa81a664b,
    0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a,
    0x5b9cca4f, 0x682e6ff3, 0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208,
    0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

constexpr std::uint32_t Rotr(std::uint32_t x, int n) {
  return (x >> n) | (x << (32 - n));
}

}  // namespace

Sha256::Sha256()
    : state_{0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
             0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19} {}

void Sha256::Block(const std::uint8_t* block) {
  std::array<std::uint32_t, 64> w;
  for (std::size_t t = 0; t < 16; ++t)
    w[t] = (std::uint32_t{block[4 * t]} << 24) |
           (std::uint32_t{block[4 * t + 1]} << 16) |
           (std::uint32_t{block[4 * t + 2]} << 8) | block[4 * t + 3];
  for (std::size_t t = 16; t < 64; ++t) {
    std::uint32_t s0 =
        Rotr(w[t - 15], 7) ^ Rotr(w[t - 15], 18) ^ (w[t - 15] >> 3);
    std::uint32_t s1 =
        Rotr(w[t - 2], 17) ^ Rotr(w[t - 2], 19) ^ (w[t - 2] >> 10);
    w[t] = w[t - 16] + s0 + w[t - 7] + s1;
  }
  std::array<std::uint32_t, 8> v = state_;
  for (std::size_t t = 0; t < 64; ++t) {
    std::uint32_t e = v[4];
    std::uint32_t a = v[0];
    std::uint32_t t1 = v[7] + (Rotr(e, 6) ^ Rotr(e, 11) ^ Rotr(e, 25)) +
                       ((e & v[5]) ^ (~e & v[6])) + kRound[t] + w[t];
    std::uint32_t t2 = (Rotr(a, 2) ^ Rotr(a, 13) ^ Rotr(a, 22)) +
                       ((a & v[1]) ^ (a & v[2]) ^ (v[1] & v[2]));
    v = {t1 + t2, a, v[1], v[2], v[3] + t1, e, v[5], v[6]};
  }
  for (std::size_t i = 0; i < 8; ++i) state_[i] += v[i];
}

void Sha256::Update(std::string_view bytes) {
  const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
  std::size_t size = bytes.size();
  length_ += size;
  if (pending_size_ > 0) {
    std::size_t take = std::min(size, pending_.size() - pending_size_);
    std::memcpy(pending_.data() + pending_size_, data, take);
    pending_size_ += take;
    data += take;
    size -= take;
    if (pending_size_ < pending_.size()) return;
    Block(pending_.data());
    pending_size_ = 0;
  }
  for (; size >= 64; data += 64, size -= 64) Block(data);
  if (size > 0) std::memcpy(pending_.data(), data, size);
  pending_size_ = size;
}

std::array<std::uint8_t, 32> Sha256::Finish() {
  const std::uint64_t bits = length_ * 8;
  std::string tail(1, '\x80');
  std::size_t after = (pending_size_ + 1) % 64;
  tail.append(after <= 56 ? 56 - after : 120 - after, '\0');
  for (int shift = 56; shift >= 0; shift -= 8)
    tail.push_back(static_cast<char>((bits >> shift) & 0xff));
  Update(tail);
  std::array<std::uint8_t, 32> digest;
  for (std::size_t i = 0; i < 32; ++i)
    digest[i] = static_cast<std::uint8_t>(state_[i / 4] >> (24 - 8 * (i % 4)));
  return digest;
}

std::string Sha256Hex(std::string_view bytes) {
  Sha256 hash;
  hash.Update(bytes);
  constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (std::uint8_t b : hash.Finish()) {
    hex.push_back(kDigits[b >> 4]);
    hex.push_back(kDigits[b & 0xf]);
  }
  return hex;
}

}  // namespace lpgm
