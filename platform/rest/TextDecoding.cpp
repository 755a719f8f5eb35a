#include "TextDecoding.h"

#include "CurlHandles.h"

#include <cerrno>
#include <cstdint>

namespace wik::rest {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD"; // U+FFFD in UTF-8

char lower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i]))
            return false;
    return true;
}

std::string_view trim(std::string_view s) {
    const auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && isSpace(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isSpace(s.back()))
        s.remove_suffix(1);
    return s;
}

bool isUtf8Name(std::string_view charset) {
    return equalsIgnoreCase(charset, "utf-8") || equalsIgnoreCase(charset, "utf8");
}

// A charset name as an answer may carry it goes to iconv_open only when it looks like one:
// glibc reads "//" suffixes in the name as conversion flags, which are not the answer's to set.
bool plausibleCharsetName(std::string_view charset) {
    if (charset.empty() || charset.size() > 64)
        return false;
    for (char c : charset) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                        c == '-' || c == '_' || c == '.' || c == ':' || c == '+';
        if (!ok)
            return false;
    }
    return true;
}

} // namespace

std::string charsetOf(std::string_view contentType) {
    size_t pos = contentType.find(';');
    while (pos != std::string_view::npos) {
        contentType.remove_prefix(pos + 1);
        const size_t next = contentType.find(';');
        std::string_view param = contentType.substr(0, next);
        const size_t eq = param.find('=');
        if (eq != std::string_view::npos && equalsIgnoreCase(trim(param.substr(0, eq)), "charset")) {
            std::string_view value = trim(param.substr(eq + 1));
            if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
                value = value.substr(1, value.size() - 2);
            return std::string(trim(value));
        }
        pos = next;
    }
    return {};
}

std::string decodeUtf8(std::string_view bytes) {
    const auto *b = reinterpret_cast<const unsigned char *>(bytes.data());
    const size_t n = bytes.size();
    std::string out;
    out.reserve(n);
    size_t i = 0;
    if (n >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF)
        i = 3;
    while (i < n) {
        const unsigned char c = b[i];
        if (c < 0x80) {
            out.push_back(char(c));
            ++i;
            continue;
        }
        // Expected continuation count and the allowed range of the first continuation byte
        // (which excludes overlong forms, surrogates and code points beyond U+10FFFF).
        int need = 0;
        unsigned char lo = 0x80, hi = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) {
            need = 1;
        } else if (c == 0xE0) {
            need = 2;
            lo = 0xA0;
        } else if ((c >= 0xE1 && c <= 0xEC) || c == 0xEE || c == 0xEF) {
            need = 2;
        } else if (c == 0xED) {
            need = 2;
            hi = 0x9F;
        } else if (c == 0xF0) {
            need = 3;
            lo = 0x90;
        } else if (c >= 0xF1 && c <= 0xF3) {
            need = 3;
        } else if (c == 0xF4) {
            need = 3;
            hi = 0x8F;
        } else {
            out += kReplacement;
            ++i;
            continue;
        }
        size_t j = i + 1;
        int got = 0;
        while (got < need && j < n && b[j] >= lo && b[j] <= hi) {
            lo = 0x80;
            hi = 0xBF;
            ++j;
            ++got;
        }
        if (got == need)
            out.append(bytes.substr(i, j - i));
        else
            out += kReplacement;
        i = j;
    }
    return out;
}

std::string decodeText(std::string_view bytes, std::string_view charset) {
    charset = trim(charset);
    if (charset.empty() || isUtf8Name(charset) || !plausibleCharsetName(charset))
        return decodeUtf8(bytes);
    const std::string from(charset);
    const iconv_t raw = iconv_open("UTF-8", from.c_str());
    if (raw == reinterpret_cast<iconv_t>(-1))
        return decodeUtf8(bytes);
    IconvPtr cd(raw);

    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    char *in = const_cast<char *>(bytes.data()); // iconv's interface; the input is only read
    size_t inLeft = bytes.size();
    char buffer[4096];
    const auto flushInto = [&](char *end) { out.append(buffer, size_t(end - buffer)); };
    while (inLeft > 0) {
        char *outPtr = buffer;
        size_t outLeft = sizeof buffer;
        const size_t rc = iconv(cd.get(), &in, &inLeft, &outPtr, &outLeft);
        flushInto(outPtr);
        if (rc != size_t(-1))
            continue;
        if (errno == E2BIG)
            continue;
        out += kReplacement;
        if (errno == EILSEQ) {
            // Skip the byte that cannot start a character and start afresh after it.
            ++in;
            --inLeft;
            iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
        } else {
            break; // EINVAL: the text ends inside a character
        }
    }
    char *outPtr = buffer;
    size_t outLeft = sizeof buffer;
    iconv(cd.get(), nullptr, nullptr, &outPtr, &outLeft); // closing shift sequence, if any
    flushInto(outPtr);
    return out;
}

} // namespace wik::rest
