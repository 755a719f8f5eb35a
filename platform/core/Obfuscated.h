#pragma once
// Secrets compiled into the program (the connection passwords) are kept as scrambled bytes so
// that they do not stand in the binary as plain strings; this turns them back into text.
#include <cstddef>
#include <cstdint>
#include <string>

namespace wik {

std::string unscramble(const std::uint8_t *bytes, std::size_t count, int seed);

template <std::size_t N>
std::string unscramble(const std::uint8_t (&bytes)[N], int seed) {
    return unscramble(bytes, N - 1, seed); // the last byte is the array's terminator
}

} // namespace wik
