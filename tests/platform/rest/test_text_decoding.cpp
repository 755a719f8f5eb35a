// Turning answer bytes into text: the charset parameter, UTF-8 checking and iconv decoding.
#include "TextDecoding.h"

#include <gtest/gtest.h>

using wik::rest::charsetOf;
using wik::rest::decodeText;

namespace {

const std::string R = "\xEF\xBF\xBD"; // U+FFFD

TEST(CharsetOf, ReadsTheCharsetParameter) {
    const std::pair<const char *, const char *> cases[] = {
        {"application/json; charset=utf-8", "utf-8"},
        {"text/plain;charset=ISO-8859-2", "ISO-8859-2"},
        {"text/plain; format=flowed; CHARSET = \"windows-1250\" ", "windows-1250"},
        {"application/json", ""},
        {"", ""},
        {"text/plain; charsets=x", ""},
    };
    for (const auto &[contentType, charset] : cases)
        EXPECT_EQ(charsetOf(contentType), charset) << contentType;
}

struct DecodeCase {
    const char *name;
    std::string charset;
    std::string bytes;
    std::string text;
};

TEST(DecodeText, DecodesByCharsetAndReplacesWhatCannotBeRead) {
    const DecodeCase cases[] = {
        {"no charset is UTF-8", "", "Hotel Some\xC8\x99", "Hotel Some\xC8\x99"},
        {"utf8 spelled without dash", "UTF8", "\xC4\x83", "\xC4\x83"},
        {"ISO-8859-2", "iso-8859-2", "B\xE3" "c\xE3nia \xBA\xFE", "B\xC4\x83" "c\xC4\x83nia \xC5\x9F\xC5\xA3"},
        {"windows-1250", "windows-1250", "\x9A\x9E", "\xC5\xA1\xC5\xBE"},
        {"UTF-16LE", "UTF-16LE", std::string("a\0\x19\x02", 4), "a\xC8\x99"},
        {"UTF-16LE cut inside a character", "UTF-16LE", std::string("a\0b", 3), "a" + R},
        {"us-ascii with a high byte", "us-ascii", "a\xE9z", "a" + R + "z"},
        {"unknown charset read as UTF-8", "x-no-such-charset", "Some\xC8\x99", "Some\xC8\x99"},
        {"iconv flags are not taken from the answer", "ASCII//TRANSLIT", "\xC8\x99", "\xC8\x99"},
        {"lone invalid byte", "utf-8", "a\xFF" "b", "a" + R + "b"},
        {"cut at the end", "utf-8", "a\xE2\x82", "a" + R},
        {"overlong slash", "utf-8", "\xC0\xAF", R + R},
        {"encoded surrogate", "utf-8", "\xED\xA0\x80", R + R + R},
        {"beyond U+10FFFF", "utf-8", "\xF4\x90\x80\x80", R + R + R + R},
        {"continuation without a lead", "utf-8", "\x80x", R + "x"},
        {"four-byte character kept", "utf-8", "\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},
        {"byte-order mark dropped", "utf-8", "\xEF\xBB\xBF{}", "{}"},
        {"NUL kept", "", std::string("a\0b", 3), std::string("a\0b", 3)},
        {"empty", "iso-8859-2", "", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(decodeText(c.bytes, c.charset), c.text) << c.name;
}

} // namespace
