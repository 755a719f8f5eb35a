// The JSON texts the tool reads: the order service's answers (one JSON text, the top-level
// "generated_at" of a confirmation) and the orders the viewer lays out.
//
// Properties, for any bytes:
// - nothing crashes, hangs or reads out of bounds;
// - the viewer lays out exactly the texts it calls valid, and those are single JSON texts;
// - a layout is itself valid and lays out to itself, unless its strings hold control characters
//   other than the five it writes as short escapes: those are written as themselves, as the
//   viewer shows them, and JSON allows no raw control character inside a string;
// - whatever nlohmann's parser (a second, independent reader) accepts, the reader accepts too,
//   with the same kind of top-level value and the same answer about "generated_at"; and the
//   layout of such a text holds the same value.
#include "FuzzCheck.h"
#include "JsonText.h"

#include <nlohmann/json.hpp>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

using wik::json::TopKind;

// Layouts of short texts nested deep run up to about two thousand times longer than the text
// (a line break and 512 levels of indentation per byte at worst); beyond this size the layout is
// refused, as the viewer refuses it beyond its own limit. No text of up to maxFullText bytes
// lays out that long.
constexpr std::size_t maxLayout = 16u << 20;
constexpr std::size_t maxFullText = 4096;

// Control characters the layout writes as themselves (inside strings; between the tokens there
// are only the CR LF line breaks).
bool holdsRawControlCharacter(std::string_view laidOut) {
    for (const char c : laidOut) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 && b != '\r' && b != '\n')
            return true;
    }
    return false;
}

bool startsWithByteOrderMark(std::string_view text) {
    return text.size() >= 3 && text.substr(0, 3) == "\xEF\xBB\xBF";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char *>(data), size);

    const bool viewerValid = wik::json::isViewerValid(text);
    const bool oneText = wik::json::isOneJsonText(text);
    const wik::json::TopLevel top = wik::json::inspectTopLevel(text, "generated_at");
    FUZZ_CHECK(!viewerValid || oneText);
    FUZZ_CHECK((top.kind == TopKind::NotJson) == !oneText);
    FUZZ_CHECK(!top.hasMember || top.kind == TopKind::Object);
    FUZZ_CHECK(wik::json::topKind(text) == top.kind);

    const auto laidOut = wik::json::layOut(text, maxLayout);
    FUZZ_CHECK(!laidOut || viewerValid);
    if (laidOut && !holdsRawControlCharacter(*laidOut)) {
        FUZZ_CHECK(wik::json::isViewerValid(*laidOut));
        const auto again = wik::json::layOut(*laidOut, maxLayout);
        FUZZ_CHECK(again && *again == *laidOut);
    }
    if (text.size() <= maxFullText)
        FUZZ_CHECK(laidOut.has_value() == viewerValid);

    // nlohmann skips a leading byte-order mark, which is not JSON, and takes a NUL byte for the
    // end of the text; the reader does neither.
    if (startsWithByteOrderMark(text) || text.find('\0') != std::string_view::npos ||
        !nlohmann::json::accept(text))
        return 0;
    FUZZ_CHECK(oneText);
    if (!viewerValid)
        return 0; // deeper than the viewer's limit or a scalar followed by white space
    const nlohmann::json value = nlohmann::json::parse(text);
    FUZZ_CHECK(top.kind == (value.is_object() ? TopKind::Object : TopKind::OtherValue));
    FUZZ_CHECK(top.hasMember == (value.is_object() && value.contains("generated_at")));
    if (laidOut && !holdsRawControlCharacter(*laidOut))
        FUZZ_CHECK(nlohmann::json::parse(*laidOut) == value);
    return 0;
}
