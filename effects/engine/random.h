#pragma once
// A small repeatable random source (xorshift64*): the same seed gives the
// same picture every time.

#include <cmath>
#include <cstdint>

namespace isp {

class Random
{
public:
    explicit Random(std::uint64_t seed) : m_state(seed * 0x9E3779B97F4A7C15ULL + 0x2545F4914F6CDD1DULL) {}

    std::uint64_t next()
    {
        m_state ^= m_state >> 12;
        m_state ^= m_state << 25;
        m_state ^= m_state >> 27;
        return m_state * 0x2545F4914F6CDD1DULL;
    }
    // Uniform in [0, 1).
    double unit() { return double(next() >> 11) * (1.0 / 9007199254740992.0); }
    // Uniform in [-1, 1).
    double symmetric() { return unit() * 2.0 - 1.0; }
    // Uniform whole number in [-n, n].
    int within(int n) { return n <= 0 ? 0 : static_cast<int>(next() % std::uint64_t(2 * n + 1)) - n; }
    // Standard normal (Box-Muller).
    double gaussian()
    {
        const double u = unit() + 1e-12;
        const double v = unit();
        return std::sqrt(-2.0 * std::log(u)) * std::cos(2.0 * M_PI * v);
    }

private:
    std::uint64_t m_state;
};

}  // namespace isp
