#pragma once
// The answer to the last request: status, protocol version, reason phrase, headers and the raw
// body, and the body as text (decoded by the charset the answer names).
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace wik::rest {

enum class HttpVersion { Unknown, Http10, Http11, Http20, Http30 };

class RestResponse {
public:
    using Header = std::pair<std::string, std::string>;

    int StatusCode() const { return statusCode_; }
    const std::string &StatusText() const { return reasonPhrase_; } // the reason phrase
    HttpVersion Version() const { return version_; }
    const std::string &RawBytes() const { return body_; }
    // The headers of the final answer (after redirects), in the order received.
    const std::vector<Header> &Headers() const { return headers_; }
    // The value of the last header of that name (names compare without regard to case).
    std::optional<std::string> HeaderValue(std::string_view name) const;
    std::string ContentType() const { return HeaderValue("Content-Type").value_or(std::string()); }
    // The body as UTF-8 text, decoded by the charset of Content-Type (UTF-8 when none); see
    // TextDecoding.h for what happens to bytes the charset cannot map.
    std::string Content() const;

    // "HTTP/1.1 503 Service Unavailable": the version text ("HTTP/1.0 ", "HTTP/1.1 " or
    // "HTTP/2.0 ", nothing for any other version), the status code and the reason phrase.
    std::string StatusLine() const;

    void clear();

private:
    friend class RestClient; // fills the answer while the transfer runs
    void beginAnswer(int code, std::string reasonPhrase);
    void addHeaderLine(std::string_view line);

    int statusCode_ = 0;
    std::string reasonPhrase_;
    HttpVersion version_ = HttpVersion::Unknown;
    std::vector<Header> headers_;
    std::string body_;
};

} // namespace wik::rest
