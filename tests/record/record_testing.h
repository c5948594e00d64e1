// Support of the record-layer tests: seeds and sizes of the randomised
// tests, an input channel over memory, and catching a RunStop.
//
// Every randomised test prints its seed; LPGM_SEED=<n> replays a run. The
// default sizes keep each test to about a second; LPGM_EXHAUSTIVE=1 (build
// option, or the environment variable of the same name) makes them larger.
#ifndef LPGM_TESTS_RECORD_RECORD_TESTING_H_
#define LPGM_TESTS_RECORD_RECORD_TESTING_H_

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <utility>

#include "record/failure.h"
#include "record/input_channel.h"
#include "state/channels.h"
#include "support/memory_stream.h"

namespace lpgm::testing {

inline std::uint64_t TestSeed() {
  const char* env = std::getenv("LPGM_SEED");
  std::uint64_t seed = env != nullptr && *env != '\0'
                           ? std::strtoull(env, nullptr, 10)
                           : std::random_device{}();
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = info != nullptr ? info->name() : "?";
  std::printf("[ seed     ] %s: LPGM_SEED=%llu\n", name.c_str(),
              static_cast<unsigned long long>(seed));
  ::testing::Test::RecordProperty("seed", std::to_string(seed));
  return seed;
}

inline bool Exhaustive() {
  if (LPGM_EXHAUSTIVE) return true;
  const char* env = std::getenv("LPGM_EXHAUSTIVE");
  return env != nullptr && env[0] == '1';
}

// `normal` iterations, or `normal * factor` under LPGM_EXHAUSTIVE.
inline long Iterations(long normal, long factor = 50) {
  return Exhaustive() ? normal * factor : normal;
}

// An input channel over `data`, handed out `chunk` bytes per read, with a
// channel buffer of `buffer` bytes.
struct MemorySource {
  explicit MemorySource(std::string data, std::size_t chunk = 1 << 20,
                        std::size_t buffer = InputChannel::kDefaultBufferSize)
      : input(std::move(data), chunk),
        channel(input, kUnitAcceleration, "case1\\x.acc", buffer) {}
  MemoryInput input;
  InputChannel channel;
};

// Runs `f`, which must end with a RunStop, and returns that stop.
template <typename F>
RunStop ExpectStop(F&& f) {
  try {
    f();
  } catch (const RunStop& stop) {
    return stop;
  }
  ADD_FAILURE() << "no RunStop";
  return RunStop::MessageStop("none");
}

}  // namespace lpgm::testing

#endif  // LPGM_TESTS_RECORD_RECORD_TESTING_H_
