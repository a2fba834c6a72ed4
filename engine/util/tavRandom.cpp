#include "util/tavRandom.h"

#include <atomic>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace
{
const uint32_t MiddleDistance = 397;
const uint32_t MatrixA = 0x9908B0DFu;
const uint32_t UpperMask = 0x80000000u;
const uint32_t LowerMask = 0x7FFFFFFFu;

// Mixed into the time seed so that two generators seeded in the same
// instant still differ.
std::atomic<uint32_t> timeSeedCounter{0};

template <typename T> uint32_t HashBytes(const T& value)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(&value);
    uint32_t h = 0;
    for (size_t i = 0; i < sizeof(T); ++i)
        h = h * 257u + p[i];
    return h;
}
} // namespace

tavRandom::tavRandom() { SeedFromSystem(); }

tavRandom::tavRandom(uint32_t seed)
{
    Seed(seed);
    Regenerate();
}

tavRandom::tavRandom(const uint32_t* key, uint32_t length) { SeedArray(key, length); }

void tavRandom::Seed(uint32_t s)
{
    state[0] = s;
    for (uint32_t i = 1; i < StateSize; ++i)
        state[i] = 1812433253u * (state[i - 1] ^ (state[i - 1] >> 30)) + i;
    next = 0;
    left = 0;
}

void tavRandom::SeedArray(const uint32_t* key, uint32_t length)
{
    Seed(19650218u);
    uint32_t i = 1, j = 0;
    for (uint32_t k = (StateSize > length ? StateSize : length); k; --k)
    {
        state[i] = (state[i] ^ ((state[i - 1] ^ (state[i - 1] >> 30)) * 1664525u)) + key[j] + j;
        ++i;
        ++j;
        if (i >= StateSize)
        {
            state[0] = state[StateSize - 1];
            i = 1;
        }
        if (j >= length)
            j = 0;
    }
    for (uint32_t k = StateSize - 1; k; --k)
    {
        state[i] = (state[i] ^ ((state[i - 1] ^ (state[i - 1] >> 30)) * 1566083941u)) - i;
        ++i;
        if (i >= StateSize)
        {
            state[0] = state[StateSize - 1];
            i = 1;
        }
    }
    state[0] = 0x80000000u;
    Regenerate();
}

void tavRandom::SeedFromSystem()
{
    uint32_t words[StateSize];
    FILE* f = std::fopen("/dev/urandom", "rb");
    if (f)
    {
        uint32_t got = 0;
        while (got < StateSize && std::fread(&words[got], sizeof(uint32_t), 1, f) == 1)
            ++got;
        std::fclose(f);
        if (got == StateSize)
        {
            SeedArray(words, StateSize);
            return;
        }
    }
    const std::time_t t = std::time(nullptr);
    const std::clock_t c = std::clock();
    Seed((HashBytes(t) + timeSeedCounter++) ^ HashBytes(c));
    Regenerate();
}

void tavRandom::Regenerate()
{
    uint32_t i = 0;
    for (; i < StateSize - MiddleDistance; ++i)
    {
        const uint32_t y = (state[i] & UpperMask) | (state[i + 1] & LowerMask);
        state[i] = state[i + MiddleDistance] ^ (y >> 1) ^ ((y & 1u) ? MatrixA : 0u);
    }
    for (; i < StateSize - 1; ++i)
    {
        const uint32_t y = (state[i] & UpperMask) | (state[i + 1] & LowerMask);
        state[i] = state[i + MiddleDistance - StateSize] ^ (y >> 1) ^ ((y & 1u) ? MatrixA : 0u);
    }
    const uint32_t y = (state[StateSize - 1] & UpperMask) | (state[0] & LowerMask);
    state[StateSize - 1] = state[MiddleDistance - 1] ^ (y >> 1) ^ ((y & 1u) ? MatrixA : 0u);
    left = StateSize;
    next = 0;
}

uint32_t tavRandom::NextInt32()
{
    if (left == 0)
        Regenerate();
    uint32_t y = state[next++];
    --left;
    y ^= y >> 11;
    y ^= (y << 7) & 0x9D2C5680u;
    y ^= (y << 15) & 0xEFC60000u;
    y ^= y >> 18;
    return y;
}

uint32_t tavRandom::NextIntUpTo(uint32_t n)
{
    uint32_t m = n | (n >> 1);
    m |= m >> 2;
    m |= m >> 4;
    m |= m >> 8;
    m |= m >> 16;
    uint32_t v;
    do
        v = NextInt32() & m;
    while (v > n);
    return v;
}

double tavRandom::NextReal() { return double(NextInt32()) * (1.0 / 4294967295.0); }
double tavRandom::NextRealUpTo(double x) { return NextReal() * x; }
double tavRandom::NextRealExcl() { return double(NextInt32()) * (1.0 / 4294967296.0); }
double tavRandom::NextRealExclUpTo(double x) { return NextRealExcl() * x; }
double tavRandom::NextRealOpen() { return (double(NextInt32()) + 0.5) * (1.0 / 4294967296.0); }
double tavRandom::NextRealOpenUpTo(double x) { return NextRealOpen() * x; }

double tavRandom::NextReal53()
{
    const uint32_t a = NextInt32() >> 5, b = NextInt32() >> 6;
    return (a * 67108864.0 + b) * (1.0 / 9007199254740992.0);
}

double tavRandom::NextNormal(double mean, double deviation)
{
    const double r = std::sqrt(-2.0 * std::log(1.0 - NextRealOpen()));
    const double angle = 2.0 * 3.14159265358979323846 * NextRealExcl();
    return mean + r * std::cos(angle) * deviation;
}

void tavRandom::Save(uint32_t* words) const
{
    for (uint32_t i = 0; i < StateSize; ++i)
        words[i] = state[i];
    words[StateSize] = left;
}

void tavRandom::Load(const uint32_t* words)
{
    for (uint32_t i = 0; i < StateSize; ++i)
        state[i] = words[i];
    // A corrupt count would index outside the state: treat it as "regenerate".
    left = words[StateSize] <= StateSize ? words[StateSize] : 0;
    next = StateSize - left;
}
