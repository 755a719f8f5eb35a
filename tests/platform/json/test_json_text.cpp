#include "JsonText.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <string_view>

using namespace std::string_literals;
using namespace std::string_view_literals;
using wik::json::TopKind;

namespace {

// Expected layouts are written with "\n" for readability; the layout's line break is CR LF.
std::string crlf(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

std::string nested(std::size_t levels, std::string_view open, std::string_view close) {
    std::string s;
    s.reserve(levels * (open.size() + close.size()));
    for (std::size_t i = 0; i < levels; ++i)
        s += open;
    for (std::size_t i = 0; i < levels; ++i)
        s += close;
    return s;
}

// ---------------------------------------------------------------------------------------------
// Layout
// ---------------------------------------------------------------------------------------------

struct LayoutCase {
    const char *name;
    std::string input;
    std::string expected; // with "\n" for each line break
};

void PrintTo(const LayoutCase &c, std::ostream *os) { *os << c.name; }

class Layout : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(Layout, WritesTheExactText) {
    const auto &c = GetParam();
    const auto laid = wik::json::layOut(c.input);
    ASSERT_TRUE(laid.has_value()) << c.input;
    EXPECT_EQ(*laid, crlf(c.expected));
}

const std::string replacement = "\xEF\xBF\xBD"; // U+FFFD in UTF-8

INSTANTIATE_TEST_SUITE_P(
    Cases, Layout,
    ::testing::Values(
        LayoutCase{"nested", R"({"a":{"b":[1,2,{"c":null}]},"d":true})",
                   "{\n"
                   "    \"a\": {\n"
                   "        \"b\": [\n"
                   "            1,\n"
                   "            2,\n"
                   "            {\n"
                   "                \"c\": null\n"
                   "            }\n"
                   "        ]\n"
                   "    },\n"
                   "    \"d\": true\n"
                   "}"},
        LayoutCase{"empty_members", R"({"x":{},"y":[ ],"z":1})",
                   "{\n"
                   "    \"x\": {\n"
                   "    },\n"
                   "    \"y\": [\n"
                   "    ],\n"
                   "    \"z\": 1\n"
                   "}"},
        LayoutCase{"empty_array_at_top", "[]", "[\n]"},
        LayoutCase{"empty_object_at_top_with_space", " \t{ \r\n } \n", "{\n}"},
        LayoutCase{"empties_inside_array", "[[],{},[[]]]",
                   "[\n"
                   "    [\n"
                   "    ],\n"
                   "    {\n"
                   "    },\n"
                   "    [\n"
                   "        [\n"
                   "        ]\n"
                   "    ]\n"
                   "]"},
        LayoutCase{"white_space_between_tokens", "\r\n {\t\"a\" :\n[ 1 , \"x\" ] , \"b\"\r: false }  ",
                   "{\n"
                   "    \"a\": [\n"
                   "        1,\n"
                   "        \"x\"\n"
                   "    ],\n"
                   "    \"b\": false\n"
                   "}"},
        LayoutCase{"diacritics_and_slashes",
                   R"({"client_full_name":"Ștefan Țăranu","location":"Brașov / Str. Mureșului 2/B"})",
                   "{\n"
                   "    \"client_full_name\": \"Ștefan Țăranu\",\n"
                   "    \"location\": \"Brașov / Str. Mureșului 2/B\"\n"
                   "}"},
        LayoutCase{"unicode_escapes_and_slash_decoded",
                   R"(["\u0218tefan \u00eene\u0219ti","http:\/\/kalvoro.ro\/x","\ud83d\ude00","\u0041"])",
                   "[\n"
                   "    \"Ștefan înești\",\n"
                   "    \"http://kalvoro.ro/x\",\n"
                   "    \"\xF0\x9F\x98\x80\",\n"
                   "    \"A\"\n"
                   "]"},
        LayoutCase{"quotation_mark_backslash_and_tab", R"({"q":"say \"hi\"\tnow \\ ok"})",
                   "{\n"
                   "    \"q\": \"say \\\"hi\\\"\\tnow \\\\ ok\"\n"
                   "}"},
        LayoutCase{"short_escapes_kept_also_from_u_escapes",
                   R"("\b\f\n\r\t \u0008\u000C\u000a\u000D\u0009 \u0022\u005C")",
                   R"("\b\f\n\r\t \b\f\n\r\t \"\\")"},
        LayoutCase{"other_control_characters_written_as_themselves", R"("a\u0001b\u001fc\u0000d")",
                   "\"a\x01" "b\x1f" "c"s + '\0' + "d\""},
        LayoutCase{"numbers_as_spelled", "[10.50,1E5,-0,0.0e-0,-12.5E+03,123456789012345678901234567890]",
                   "[\n"
                   "    10.50,\n"
                   "    1E5,\n"
                   "    -0,\n"
                   "    0.0e-0,\n"
                   "    -12.5E+03,\n"
                   "    123456789012345678901234567890\n"
                   "]"},
        LayoutCase{"literals", R"({"t":true,"f":false,"n":null})",
                   "{\n"
                   "    \"t\": true,\n"
                   "    \"f\": false,\n"
                   "    \"n\": null\n"
                   "}"},
        LayoutCase{"top_level_string", R"(  "Ion / Ionescu")", R"("Ion / Ionescu")"},
        LayoutCase{"top_level_number", "10.50", "10.50"},
        LayoutCase{"top_level_literal", "null", "null"},
        LayoutCase{"repeated_member_names", R"({"a":1,"b":2,"a":3,"a":{"a":4}})",
                   "{\n"
                   "    \"a\": 1,\n"
                   "    \"b\": 2,\n"
                   "    \"a\": 3,\n"
                   "    \"a\": {\n"
                   "        \"a\": 4\n"
                   "    }\n"
                   "}"},
        LayoutCase{"escaped_member_name", R"({"na\"me\/x":1})", "{\n    \"na\\\"me/x\": 1\n}"},
        LayoutCase{"lone_high_surrogate", R"("x\ud800y")", "\"x" + replacement + "y\""},
        LayoutCase{"lone_low_surrogate", R"("\udc00")", "\"" + replacement + "\""},
        LayoutCase{"high_surrogate_then_pair", R"("\ud800\ud800\udc00")",
                   "\"" + replacement + "\xF0\x90\x80\x80\""},
        LayoutCase{"high_surrogate_then_other_escape", R"("\uD800\u0041\uDBFF")",
                   "\"" + replacement + "A" + replacement + "\""}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(Layout, OrderLaidOutIsStableAndStillJson) {
    const std::string order =
        R"({"order_id": "b1e4c1a0-5d2b-4f7e-9a43-0c2d1e6f7a88", "client_full_name": "Ana Mărgărit",)"
        R"( "location": "Iași", "created_at": "2026-12-01T10:00:00", "delivery_date": "2026-12-03",)"
        R"( "lines": [{"sku": "P-001", "name": "Brânză \"de burduf\"", "quantity": 3, "price": 10.50},)"
        R"( {"sku": "P-002", "name": "Pâine\tfeliată", "quantity": 1, "price": 4.00}], "notes": {}})";
    const auto once = wik::json::layOut(order);
    ASSERT_TRUE(once.has_value());
    EXPECT_TRUE(wik::json::isOneJsonText(*once));
    const auto twice = wik::json::layOut(*once);
    ASSERT_TRUE(twice.has_value());
    EXPECT_EQ(*twice, *once);
    EXPECT_NE(once->back(), '\n');
    EXPECT_EQ(once->find("\n\n"), std::string::npos);
    EXPECT_NE(once->find("\r\n            \"price\": 10.50\r\n        },\r\n        {"), std::string::npos);
}

TEST(Layout, FiveHundredTwelveLevelsAreLaidOut) {
    const auto laid = wik::json::layOut(nested(512, "[", "]"));
    ASSERT_TRUE(laid.has_value());
    // The innermost (empty) array opens on the line indented by 511 steps.
    EXPECT_NE(laid->find("\r\n" + std::string(511 * 4, ' ') + "[\r\n" + std::string(511 * 4, ' ') + "]"),
              std::string::npos);
    EXPECT_EQ(laid->substr(laid->size() - 3), "\r\n]");
}

TEST(Layout, NothingWhenTheLayoutWouldPassTheSizeLimit) {
    const std::string text = R"({"a":[1,2]})";
    const std::size_t size = crlf("{\n    \"a\": [\n        1,\n        2\n    ]\n}").size();
    EXPECT_TRUE(wik::json::layOut(text, size).has_value());
    EXPECT_FALSE(wik::json::layOut(text, size - 1).has_value());
    // 100,000 elements 511 levels down: 0.6 MB of text, about 200 MB laid out.
    std::string wide = std::string(511, '[') + "0";
    for (int i = 1; i < 100000; ++i)
        wide += ",0";
    wide += std::string(511, ']');
    EXPECT_TRUE(wik::json::isViewerValid(wide));
    EXPECT_FALSE(wik::json::layOut(wide, 64u * 1024 * 1024).has_value());
}

// ---------------------------------------------------------------------------------------------
// Validity
// ---------------------------------------------------------------------------------------------

struct ValidityCase {
    const char *name;
    std::string text;
    bool viewer;  // the viewer's rule
    bool oneText; // one JSON text with white space around it
};

void PrintTo(const ValidityCase &c, std::ostream *os) { *os << c.name; }

class Validity : public ::testing::TestWithParam<ValidityCase> {};

TEST_P(Validity, AnswersBothRules) {
    const auto &c = GetParam();
    EXPECT_EQ(wik::json::isViewerValid(c.text), c.viewer);
    EXPECT_EQ(wik::json::isOneJsonText(c.text), c.oneText);
    // The layout is given exactly for the texts the viewer accepts.
    EXPECT_EQ(wik::json::layOut(c.text).has_value(), c.viewer);
    EXPECT_EQ(wik::json::topKind(c.text) != TopKind::NotJson, c.oneText);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Validity,
    ::testing::Values(
        ValidityCase{"empty", "", false, false},
        ValidityCase{"only_white_space", " \r\n\t", false, false},
        ValidityCase{"cut_short_object", R"({"order_id":"1","lines":[{"sku":"a")", false, false},
        ValidityCase{"cut_short_string", R"({"a":"abc)", false, false},
        ValidityCase{"cut_short_after_name", R"({"a")", false, false},
        ValidityCase{"garbage_after_object", R"({"a":1}x)", false, false},
        ValidityCase{"second_value_after_object", R"({"a":1}{})", false, false},
        ValidityCase{"white_space_after_object", "{\"a\":1} \r\n", true, true},
        ValidityCase{"white_space_after_array", "[1]\t", true, true},
        ValidityCase{"white_space_before_number", "  42", true, true},
        ValidityCase{"white_space_after_number", "42 ", false, true},
        ValidityCase{"white_space_after_string", "\"s\"\n", false, true},
        ValidityCase{"white_space_after_literal", "true ", false, true},
        ValidityCase{"two_numbers", "1 2", false, false},
        ValidityCase{"leading_zero", "01", false, false},
        ValidityCase{"lone_minus", "-", false, false},
        ValidityCase{"point_without_digits", "[1.]", false, false},
        ValidityCase{"point_first", ".5", false, false},
        ValidityCase{"exponent_without_digits", "1e+", false, false},
        ValidityCase{"plus_sign", "+1", false, false},
        ValidityCase{"nan", "NaN", false, false},
        ValidityCase{"cut_literal", "tru", false, false},
        ValidityCase{"literal_with_tail", "nullx", false, false},
        ValidityCase{"trailing_comma_array", "[1,]", false, false},
        ValidityCase{"trailing_comma_object", R"({"a":1,})", false, false},
        ValidityCase{"unquoted_name", "{a:1}", false, false},
        ValidityCase{"missing_colon", R"({"a" 1})", false, false},
        ValidityCase{"single_quotes", "['a']", false, false},
        ValidityCase{"mismatched_brackets", "[1}", false, false},
        ValidityCase{"raw_tab_in_string", "\"a\tb\"", false, false},
        ValidityCase{"unknown_escape", R"("\x")", false, false},
        ValidityCase{"short_u_escape", R"("\u12")", false, false},
        ValidityCase{"bad_hex_digit", R"("\u12G4")", false, false},
        ValidityCase{"bad_hex_after_high_surrogate", R"("\ud800\uZZZZ")", false, false},
        ValidityCase{"lone_surrogate", R"({"a":"\ud800"})", true, true},
        ValidityCase{"cut_utf8", "\"\xC3\"", false, false},
        ValidityCase{"overlong_utf8", "\"\xC0\xAF\"", false, false},
        ValidityCase{"encoded_surrogate_utf8", "\"\xED\xA0\x80\"", false, false},
        ValidityCase{"beyond_unicode_utf8", "\"\xF4\x90\x80\x80\"", false, false},
        ValidityCase{"stray_continuation_byte", "\"\x80\"", false, false},
        ValidityCase{"latin1_diacritic", "\"Bra\xBAov\"", false, false},
        ValidityCase{"four_byte_utf8", "\"\xF0\x9F\x98\x80\"", true, true},
        ValidityCase{"byte_order_mark", "\xEF\xBB\xBF{}", false, false},
        ValidityCase{"depth_512", nested(512, "[", "]"), true, true},
        ValidityCase{"depth_513", nested(513, "[", "]"), false, true},
        ValidityCase{"depth_513_objects", nested(512, "{\"a\":", "}").insert(512 * 5, "{}"), false, true},
        ValidityCase{"depth_100000", nested(100000, "[", "]"), false, true},
        ValidityCase{"depth_100000_objects", nested(100000, "{\"a\":", "}").insert(500000, "1"), false,
                     true},
        ValidityCase{"depth_100000_cut_short", std::string(100000, '['), false, false}),
    [](const auto &info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------
// The top-level kind and the "generated_at" member of the confirmation's answer
// ---------------------------------------------------------------------------------------------

struct TopCase {
    const char *name;
    std::string text;
    TopKind kind;
    bool hasGeneratedAt;
};

void PrintTo(const TopCase &c, std::ostream *os) { *os << c.name; }

class GeneratedAt : public ::testing::TestWithParam<TopCase> {};

TEST_P(GeneratedAt, TellsKindAndMember) {
    const auto &c = GetParam();
    const auto top = wik::json::inspectTopLevel(c.text, "generated_at");
    EXPECT_EQ(top.kind, c.kind);
    EXPECT_EQ(top.hasMember, c.hasGeneratedAt);
    EXPECT_EQ(wik::json::topKind(c.text), c.kind);
    EXPECT_EQ(wik::json::hasTopLevelMember(c.text, "generated_at"), c.hasGeneratedAt);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GeneratedAt,
    ::testing::Values(
        TopCase{"with_member", R"({"order_id":"x","generated_at":"2026-12-01T10:00:00"})", TopKind::Object, true},
        TopCase{"other_case", R"({"Generated_At":"2026-12-01T10:00:00"})", TopKind::Object, false},
        TopCase{"null_value", R"({"generated_at":null})", TopKind::Object, true},
        TopCase{"nested_only", R"({"data":{"generated_at":1}})", TopKind::Object, false},
        TopCase{"after_nested", R"({"data":{"x":[{"y":1}]},"generated_at":1})", TopKind::Object, true},
        TopCase{"after_empty_nested", R"({"data":{},"generated_at":1})", TopKind::Object, true},
        TopCase{"as_a_value", R"({"name":"generated_at"})", TopKind::Object, false},
        TopCase{"escaped_name", R"({"generated\u005fat":1})", TopKind::Object, true},
        TopCase{"longer_name", R"({"generated_at_utc":1})", TopKind::Object, false},
        TopCase{"shorter_name", R"({"generated_a":1})", TopKind::Object, false},
        TopCase{"white_space_around", " \n{\"generated_at\" : 1}\r\n", TopKind::Object, true},
        TopCase{"empty_object", "{}", TopKind::Object, false},
        TopCase{"array", R"([{"generated_at":1}])", TopKind::OtherValue, false},
        TopCase{"string", R"("generated_at")", TopKind::OtherValue, false},
        TopCase{"number_with_space", "201 ", TopKind::OtherValue, false},
        TopCase{"null", "null", TopKind::OtherValue, false},
        TopCase{"empty", "", TopKind::NotJson, false},
        TopCase{"garbage", "<html>Created</html>", TopKind::NotJson, false},
        TopCase{"garbage_after_object", R"({"generated_at":1} ok)", TopKind::NotJson, false},
        TopCase{"cut_short", R"({"generated_at":)", TopKind::NotJson, false}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
