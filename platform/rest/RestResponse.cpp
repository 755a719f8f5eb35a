#include "RestResponse.h"

#include "TextDecoding.h"

#include <strings.h>

namespace wik::rest {

namespace {

std::string_view trim(std::string_view s) {
    const auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && isSpace(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isSpace(s.back()))
        s.remove_suffix(1);
    return s;
}

} // namespace

std::optional<std::string> RestResponse::HeaderValue(std::string_view name) const {
    for (auto it = headers_.rbegin(); it != headers_.rend(); ++it)
        if (it->first.size() == name.size() &&
            strncasecmp(it->first.data(), name.data(), name.size()) == 0)
            return it->second;
    return std::nullopt;
}

std::string RestResponse::Content() const { return decodeText(body_, charsetOf(ContentType())); }

std::string RestResponse::StatusLine() const {
    std::string line;
    switch (version_) {
    case HttpVersion::Http10: line = "HTTP/1.0 "; break;
    case HttpVersion::Http11: line = "HTTP/1.1 "; break;
    case HttpVersion::Http20: line = "HTTP/2.0 "; break;
    default: break;
    }
    return line + std::to_string(statusCode_) + " " + reasonPhrase_;
}

void RestResponse::clear() {
    statusCode_ = 0;
    reasonPhrase_.clear();
    version_ = HttpVersion::Unknown;
    headers_.clear();
    body_.clear();
}

void RestResponse::beginAnswer(int code, std::string reasonPhrase) {
    // Each answer of a redirect chain (and an interim 100 Continue) starts afresh: what is kept
    // is the final answer.
    statusCode_ = code;
    reasonPhrase_ = std::move(reasonPhrase);
    headers_.clear();
    body_.clear();
}

void RestResponse::addHeaderLine(std::string_view line) {
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos)
        return; // the blank line that ends the headers, or a malformed line
    headers_.emplace_back(std::string(trim(line.substr(0, colon))),
                          std::string(trim(line.substr(colon + 1))));
}

} // namespace wik::rest
