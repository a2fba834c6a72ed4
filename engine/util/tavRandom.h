#pragma once
// The engine's pseudo-random generator: MT19937 (32-bit words, 624 words of
// state). One lives in the engine object; scenes reach it through
// TAV::RandomInt and TAV::RandomFloat.

#include <cstdint>

class tavRandom
{
public:
    static const uint32_t StateSize = 624;
    // Words of a saved state: the 624 state words, then the count still left.
    static const uint32_t SaveSize = StateSize + 1;

    // Seeds from /dev/urandom when it can be read whole, else from a hash of
    // the calendar time and the processor clock.
    tavRandom();
    // init_genrand: the published reference seeding from one word.
    explicit tavRandom(uint32_t seed);
    // init_by_array over `length` words of `key`.
    tavRandom(const uint32_t* key, uint32_t length);

    // The next tempered 32-bit word.
    uint32_t NextInt32();
    // Uniform in [0, n], both ends included; n = 0 gives 0.
    uint32_t NextIntUpTo(uint32_t n);

    double NextReal();                  // [0, 1]
    double NextRealUpTo(double x);      // [0, x]
    double NextRealExcl();              // [0, 1)
    double NextRealExclUpTo(double x);  // [0, x)
    double NextRealOpen();              // (0, 1)
    double NextRealOpenUpTo(double x);  // (0, x)
    double NextReal53();                // [0, 1) with 53 random bits
    // Normally distributed (Box-Muller from two draws).
    double NextNormal(double mean, double deviation);

    // Copies out / in the SaveSize-word saved state; a loaded state makes the
    // generator continue exactly where the saved one stood.
    void Save(uint32_t* words) const;
    void Load(const uint32_t* words);

private:
    void Seed(uint32_t s);
    void SeedArray(const uint32_t* key, uint32_t length);
    void SeedFromSystem();
    void Regenerate();

    uint32_t state[StateSize];
    uint32_t next; // index into state of the next word to hand out
    uint32_t left; // words still available before the next regeneration
};
