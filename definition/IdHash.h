#pragma once
// The 32-bit hash of an object ID. Every reference between definition objects
// is stored in files as this hash, so the function must never change.
//
// Thread contract: pure functions, callable from any thread.
#include <cstddef>
#include <cstdint>

constexpr std::uint32_t kIdHashSeed = 0xDC379ACFu;
constexpr std::uint32_t kIdHashNoModulus = 0xFFFFFFFFu;

// Hashes length bytes of text (a null text hashes like an empty one). With a
// modulus other than kIdHashNoModulus the result is taken modulo it (a modulus
// of 0 is treated as no modulus, so the call cannot divide by zero).
std::uint32_t IdHash(const char* text, std::size_t length, std::uint32_t modulus = kIdHashNoModulus);
// Hashes a NUL-terminated text.
std::uint32_t IdHash(const char* text);
