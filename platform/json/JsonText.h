#pragma once
// JSON texts as the tool meets them: the order service's answers and the orders stored in the
// order log. Texts are UTF-8 bytes; nothing here knows about windows or strings of the toolkit.
//
// The reader is written by hand rather than on a general JSON library because the viewer must
// show every number exactly as it was spelled (10.50, 1E5, -0), including integers, which the
// usual event interfaces only hand over as converted values; and because the layout is written
// straight from the text in two passes (the first checks the text and measures the result, the
// second writes it into a buffer of exactly that size), so that a long order log answer needs
// no tree of values and no growing buffer. The reader keeps its own stack of open brackets
// instead of recursing, so any nesting depth is answered without exhausting the call stack, in
// time linear in the length of the text.
//
// Choices where JSON leaves room:
// - The text must be well-formed UTF-8 (no overlong forms, no encoded surrogates, nothing above
//   U+10FFFF); a text that is not is not JSON. The viewer then shows it as stored.
// - A \u escape of a surrogate without its partner (\ud800 alone, or a low surrogate first) is
//   allowed, as the JSON grammar allows it; since it stands for no character, the layout writes
//   U+FFFD REPLACEMENT CHARACTER in its place (member names are compared the same way).
// - White space is what JSON calls white space: space, tab, line feed, carriage return.
#include <cstddef>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace wik::json {

// The deepest nesting of objects and arrays the viewer accepts.
inline constexpr std::size_t viewerMaxDepth = 512;

// The viewer's rule: exactly one JSON value, optionally preceded by white space; white space may
// follow it only when it is an object or an array; at most viewerMaxDepth levels of nesting.
// An empty text is not valid.
bool isViewerValid(std::string_view text);

// One JSON value of any kind and any depth with nothing but white space before and after it.
bool isOneJsonText(std::string_view text);

enum class TopKind { NotJson, Object, OtherValue };

struct TopLevel {
    TopKind kind = TopKind::NotJson;
    bool hasMember = false; // only for an Object: it has a top-level member of the asked name
};

// Whether the text is one JSON text (as isOneJsonText), whether its value is an object and
// whether that object has a member named exactly `memberName` (case-sensitive, compared after
// the escapes in the name are decoded; the member's value may be anything, null included).
TopLevel inspectTopLevel(std::string_view text, std::string_view memberName);

TopKind topKind(std::string_view text);
bool hasTopLevelMember(std::string_view text, std::string_view memberName);

// The text laid out for reading, or nothing when it is not valid by the viewer's rule:
// four spaces per level, CR LF line breaks, one member or element per line in the order of the
// text (repeated member names all kept), ": " after a name, an empty object or array on two
// lines, strings with their escapes decoded and written again only for the quotation mark, the
// backslash, backspace, tab, line feed, form feed and carriage return, numbers spelled as in the
// text. No line break follows the last bracket.
// Deep nesting makes the indentation dominate: a short text of many elements 512 levels down
// lays out a thousand times longer. Nothing is returned either when the laid-out text would be
// longer than `maxSize` bytes (measured before anything is allocated).
std::optional<std::string> layOut(std::string_view text,
                                  std::size_t maxSize = std::numeric_limits<std::size_t>::max());

} // namespace wik::json
