#pragma once
// Turning the bytes of an answer into text. The charset comes from the answer's Content-Type;
// without one the body is read as UTF-8. The result is always well-formed UTF-8: a byte sequence
// that the charset cannot map becomes one U+FFFD REPLACEMENT CHARACTER, so a broken answer is
// still shown to the operator and never stops the program.
#include <string>
#include <string_view>

namespace wik::rest {

// The charset parameter of a Content-Type value ("application/json; charset=utf-8" gives
// "utf-8"), unquoted; empty when there is none.
std::string charsetOf(std::string_view contentType);

// UTF-8 bytes checked and passed on; each maximal ill-formed subsequence (in the sense of the
// Unicode standard's U+FFFD substitution practice) is replaced by one U+FFFD. A leading UTF-8
// byte-order mark is an encoding marker, not text, and is dropped.
std::string decodeUtf8(std::string_view bytes);

// `bytes` decoded from `charset` (an IANA name that glibc's iconv knows, any case) into UTF-8.
// An empty charset means UTF-8. A charset that iconv does not know is read as UTF-8 as well, so
// that the text of a mislabelled answer still reaches the operator.
std::string decodeText(std::string_view bytes, std::string_view charset);

} // namespace wik::rest
