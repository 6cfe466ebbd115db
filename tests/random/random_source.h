#pragma once
// The random source of the random-action runs: splitmix64, so that a seed
// replays the same run with any compiler and standard library.

#include <cstdint>

class RandomSource {
  public:
    explicit RandomSource(std::uint64_t seed) : state_(seed) {}

    std::uint64_t next() {
        state_ += 0x9E3779B97F4A7C15ULL;
        std::uint64_t z = state_;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }

    // 0 .. count - 1; count must not be 0.
    std::uint32_t below(std::uint32_t count) { return static_cast<std::uint32_t>(next() % count); }

    // first .. last
    std::uint32_t between(std::uint32_t first, std::uint32_t last) {
        return first + below(last - first + 1);
    }

    // True `perThousand` times in a thousand.
    bool chance(std::uint32_t perThousand) { return below(1000) < perThousand; }

    std::uint32_t word() { return static_cast<std::uint32_t>(next()); }

    template <typename T, std::size_t N> const T& pick(const T (&items)[N]) {
        return items[below(static_cast<std::uint32_t>(N))];
    }

  private:
    std::uint64_t state_;
};
