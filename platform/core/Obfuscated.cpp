#include "Obfuscated.h"

namespace wik {

std::string unscramble(const std::uint8_t *bytes, std::size_t count, int seed) {
    std::string out;
    out.reserve(count);
    unsigned key = static_cast<unsigned>(seed);
    for (std::size_t i = 0; i < count; ++i) {
        out.push_back(static_cast<char>(bytes[i] ^ (key & 255u)));
        key = (key * 73u + 41u) & 65535u;
    }
    return out;
}

} // namespace wik
