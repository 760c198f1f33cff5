// The driver's source of choices: one fixed-seed generator per case, so that
// a case can be made again from its seed and number alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <random>
#include <string>
#include <vector>

class Random {
public:
    explicit Random(uint64_t seed) : engine_(seed) {}

    // A number from 0 to n-1 (0 when n is 0).
    uint64_t below(uint64_t n) { return n == 0 ? 0 : engine_() % n; }
    // A number from low to high, both included.
    int64_t between(int64_t low, int64_t high)
    {
        return low + static_cast<int64_t>(below(static_cast<uint64_t>(high - low) + 1));
    }
    // True in percent cases out of 100.
    bool chance(int percent) { return static_cast<int>(below(100)) < percent; }
    uint8_t byte() { return static_cast<uint8_t>(engine_()); }

    template <typename T>
    const T& pick(const std::vector<T>& from) { return from[below(from.size())]; }
    std::string pick(std::initializer_list<const char*> from) { return *(from.begin() + below(from.size())); }

    std::vector<uint8_t> bytes(size_t n)
    {
        std::vector<uint8_t> out(n);
        for (uint8_t& b : out)
            b = byte();
        return out;
    }

private:
    std::mt19937_64 engine_;
};
