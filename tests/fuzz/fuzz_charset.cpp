// Decoding the order service's answers: any body bytes under any charset name the answer's
// Content-Type may carry. The first byte of the input is the length of the Content-Type value
// that follows it; the rest is the body.
//
// Properties: nothing crashes or hangs; the decoded text is always well-formed UTF-8; without a
// charset, or with "utf-8", the body is read as UTF-8, and a body that already is well-formed
// UTF-8 comes through unchanged but for a leading byte-order mark.
#include "FuzzCheck.h"
#include "TextDecoding.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

// Well-formed UTF-8 in the sense of the Unicode standard's table of well-formed byte sequences.
bool isWellFormedUtf8(std::string_view text) {
    const auto *p = reinterpret_cast<const unsigned char *>(text.data());
    const auto *end = p + text.size();
    while (p < end) {
        const unsigned char b = *p;
        std::size_t n;
        unsigned char lo = 0x80, hi = 0xBF;
        if (b < 0x80) {
            ++p;
            continue;
        } else if (b >= 0xC2 && b <= 0xDF) {
            n = 1;
        } else if (b == 0xE0) {
            n = 2, lo = 0xA0;
        } else if (b == 0xED) {
            n = 2, hi = 0x9F;
        } else if (b >= 0xE1 && b <= 0xEF) {
            n = 2;
        } else if (b == 0xF0) {
            n = 3, lo = 0x90;
        } else if (b == 0xF4) {
            n = 3, hi = 0x8F;
        } else if (b >= 0xF1 && b <= 0xF3) {
            n = 3;
        } else {
            return false;
        }
        if (static_cast<std::size_t>(end - p) <= n)
            return false;
        if (p[1] < lo || p[1] > hi)
            return false;
        for (std::size_t i = 2; i <= n; ++i)
            if (p[i] < 0x80 || p[i] > 0xBF)
                return false;
        p += n + 1;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size == 0)
        return 0;
    std::string_view input(reinterpret_cast<const char *>(data), size);
    const std::size_t typeLength = static_cast<unsigned char>(input.front());
    input.remove_prefix(1);
    const std::string_view contentType = input.substr(0, typeLength);
    const std::string_view body = input.substr(contentType.size());

    const std::string charset = wik::rest::charsetOf(contentType);
    const std::string text = wik::rest::decodeText(body, charset);
    FUZZ_CHECK(isWellFormedUtf8(text));

    // The Content-Type value itself taken as a charset name.
    FUZZ_CHECK(isWellFormedUtf8(wik::rest::decodeText(body, contentType)));

    const std::string asUtf8 = wik::rest::decodeUtf8(body);
    FUZZ_CHECK(isWellFormedUtf8(asUtf8));
    FUZZ_CHECK(wik::rest::decodeText(body, "") == asUtf8);
    FUZZ_CHECK(wik::rest::decodeText(body, "UTF-8") == asUtf8);
    if (isWellFormedUtf8(body)) {
        const bool bom = body.substr(0, 3) == "\xEF\xBB\xBF";
        FUZZ_CHECK(asUtf8 == body.substr(bom ? 3 : 0));
    }
    return 0;
}
