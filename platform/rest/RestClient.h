#pragma once
// The HTTP client of the REST layer, over libcurl. One client keeps one curl handle for its whole
// life, so the cookies the service sets are stored and sent back on the later requests of the run
// (and connections are reused).
//
// Settings, fixed for every request:
// - 30 s to connect (name resolution, TCP and the TLS handshake);
// - 30 s waiting for the answer: once the request is on the wire, the exchange is given up when
//   no byte has arrived for that long (also between two pieces of the answer);
// - 60 s for sending: while the request body is going out, the exchange is given up when no byte
//   could be sent for that long.
//   The last two are idle limits, not limits on the whole exchange; they are watched from
//   libcurl's progress callback, counted from the moment the connection is ready;
// - redirects are followed, at most five; the sixth is refused;
// - cookies are kept in memory for the run and never written anywhere;
// - HTTP/1.1 (answers in HTTP/2 carry no reason phrase, which the server-error message shows);
// - http and https only, also for redirects;
// - TLS: the service's certificate and host name are verified against the system's trust store;
// - no proxy: the program reads no environment variable, so http_proxy and its kin are ignored.
//
// Failures: a transport failure raises wik::Error("REST request failed: " + libcurl's message);
// an answer with status 500 or above raises wik::Error(its status line, e.g.
// "HTTP/1.1 503 Service Unavailable"). Every other answer is handed back for the caller to judge.
#include "CurlHandles.h"

#include <chrono>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace wik::rest {

class RestResponse;

enum class Method { Get, Post };

class RestClient {
public:
    static constexpr const char *kUserAgent = "wImportKalvoro/2025.09.01";

    struct Timeouts {
        std::chrono::milliseconds connect{30000};
        std::chrono::milliseconds send{60000};
        std::chrono::milliseconds read{30000};
    };

    explicit RestClient(std::string baseUrl = {});
    ~RestClient();
    RestClient(const RestClient &) = delete;
    RestClient &operator=(const RestClient &) = delete;

    void setBaseURL(std::string baseUrl) { baseUrl_ = std::move(baseUrl); }
    const std::string &BaseURL() const { return baseUrl_; }

    // The tool keeps the defaults; tests shorten them so that a silent server costs a second,
    // not half a minute.
    void setTimeouts(const Timeouts &timeouts);
    const Timeouts &timeouts() const { return timeouts_; }

    // The base URL and the resource joined by one "/" (none added when the base URL already
    // ends with "/", nothing added for an empty resource).
    static std::string joinUrl(std::string_view baseUrl, std::string_view resource);

    struct Exchange {
        Method method = Method::Get;
        std::string url;
        std::vector<std::pair<std::string, std::string>> headers; // sent exactly as given
        bool hasBody = false;
        std::string body;        // UTF-8 bytes, sent as they are
        std::string contentType; // of the body
    };
    // Sends one request and waits for its answer, which lands in `response`. Raises as the
    // header comment says.
    void perform(const Exchange &exchange, RestResponse &response);

private:
    struct Transfer; // the state of the running exchange, seen by the libcurl callbacks
    static size_t onBody(char *data, size_t size, size_t count, void *transfer);
    static size_t onHeader(char *data, size_t size, size_t count, void *transfer);
    static int onProgress(void *transfer, curl_off_t dlTotal, curl_off_t dlNow, curl_off_t ulTotal,
                          curl_off_t ulNow);
    static int onConnected(void *transfer, char *, char *, int, int);

    std::string baseUrl_;
    Timeouts timeouts_;
    CurlPtr curl_;
    char errorBuffer_[CURL_ERROR_SIZE] = {};
};

} // namespace wik::rest
