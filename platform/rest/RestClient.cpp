#include "RestClient.h"

#include "Error.h"
#include "RestResponse.h"

#include <charconv>
#include <exception>
#include <new>

namespace wik::rest {

using Clock = std::chrono::steady_clock;

struct RestClient::Transfer {
    RestResponse *response = nullptr;
    const Timeouts *timeouts = nullptr;
    // The idle limits count from the moment the connection is ready; before that the connect
    // time-out governs.
    bool connected = false;
    curl_off_t lastDown = -1;
    curl_off_t lastUp = -1;
    Clock::time_point lastActivity;
    std::string timeoutMessage;
    // The blank line that ends the current answer's header section has come. libcurl takes a
    // connection closed inside the header section for the end of an answer without a body.
    bool headerEnded = false;
    std::exception_ptr failure; // an exception caught in a callback, raised again after it
};

namespace {

void setOption(CURL *h, CURLoption option, long value) { curl_easy_setopt(h, option, value); }

HttpVersion versionOf(long curlVersion) {
    switch (curlVersion) {
    case CURL_HTTP_VERSION_1_0: return HttpVersion::Http10;
    case CURL_HTTP_VERSION_1_1: return HttpVersion::Http11;
    case CURL_HTTP_VERSION_2_0: return HttpVersion::Http20;
#ifdef CURL_HTTP_VERSION_3
    case CURL_HTTP_VERSION_3: return HttpVersion::Http30;
#endif
    default: return HttpVersion::Unknown;
    }
}

bool hasLineBreak(const std::string &s) { return s.find_first_of("\r\n") != std::string::npos; }

void append(SlistPtr &list, const std::string &line) {
    curl_slist *head = curl_slist_append(list.get(), line.c_str());
    if (!head)
        throw std::bad_alloc();
    (void)list.release(); // the same list, now one item longer
    list.reset(head);
}

long asLong(std::chrono::milliseconds ms) { return long(ms.count()); }

} // namespace

RestClient::RestClient(std::string baseUrl) : baseUrl_(std::move(baseUrl)) {
    static const CURLcode globalInit = curl_global_init(CURL_GLOBAL_DEFAULT);
    if (globalInit != CURLE_OK)
        throw Error(std::string("REST request failed: ") + curl_easy_strerror(globalInit));
    curl_.reset(curl_easy_init());
    if (!curl_)
        throw Error("REST request failed: libcurl could not be initialised");
    CURL *h = curl_.get();
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errorBuffer_);
    curl_easy_setopt(h, CURLOPT_USERAGENT, kUserAgent);
    setOption(h, CURLOPT_NOSIGNAL, 1L);
    setOption(h, CURLOPT_CONNECTTIMEOUT_MS, asLong(timeouts_.connect));
    setOption(h, CURLOPT_FOLLOWLOCATION, 1L);
    setOption(h, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(h, CURLOPT_COOKIEFILE, ""); // the cookie engine on, nothing read or written
    setOption(h, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(h, CURLOPT_PROXY, "");
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    setOption(h, CURLOPT_SSL_VERIFYPEER, 1L);
    setOption(h, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &RestClient::onBody);
    curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, &RestClient::onHeader);
    setOption(h, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, &RestClient::onProgress);
    curl_easy_setopt(h, CURLOPT_PREREQFUNCTION, &RestClient::onConnected);
}

RestClient::~RestClient() = default;

void RestClient::setTimeouts(const Timeouts &timeouts) {
    timeouts_ = timeouts;
    setOption(curl_.get(), CURLOPT_CONNECTTIMEOUT_MS, asLong(timeouts_.connect));
}

std::string RestClient::joinUrl(std::string_view baseUrl, std::string_view resource) {
    std::string url(baseUrl);
    if (resource.empty())
        return url;
    if (url.empty() || url.back() != '/')
        url += '/';
    url += resource;
    return url;
}

void RestClient::perform(const Exchange &exchange, RestResponse &response) {
    response.clear();
    CURL *h = curl_.get();

    SlistPtr headers;
    for (const auto &[name, value] : exchange.headers) {
        // A line break would end the header early and start another one of the caller's making.
        if (name.empty() || hasLineBreak(name) || hasLineBreak(value))
            throw Error("REST request failed: invalid header parameter \"" + name + "\"");
        // "Name;" is libcurl's way of sending a header with an empty value.
        append(headers, value.empty() ? name + ";" : name + ": " + value);
    }
    if (exchange.hasBody)
        append(headers, exchange.contentType.empty() ? std::string("Content-Type:")
                                                     : "Content-Type: " + exchange.contentType);
    // The body goes out with the request; no waiting for a "100 Continue" first.
    append(headers, "Expect:");

    curl_easy_setopt(h, CURLOPT_URL, exchange.url.c_str());
    if (exchange.method == Method::Post) {
        setOption(h, CURLOPT_POST, 1L);
        const std::string &body = exchange.hasBody ? exchange.body : std::string();
        curl_easy_setopt(h, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(body.size()));
        curl_easy_setopt(h, CURLOPT_COPYPOSTFIELDS, body.data());
    } else {
        setOption(h, CURLOPT_HTTPGET, 1L);
    }
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers.get());

    Transfer transfer;
    transfer.response = &response;
    transfer.timeouts = &timeouts_;
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(h, CURLOPT_HEADERDATA, &transfer);
    curl_easy_setopt(h, CURLOPT_XFERINFODATA, &transfer);
    curl_easy_setopt(h, CURLOPT_PREREQDATA, &transfer);
    errorBuffer_[0] = '\0';

    const CURLcode rc = curl_easy_perform(h);

    // Nothing of this exchange stays referenced by the handle.
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, nullptr);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, nullptr);
    curl_easy_setopt(h, CURLOPT_HEADERDATA, nullptr);
    curl_easy_setopt(h, CURLOPT_XFERINFODATA, nullptr);
    curl_easy_setopt(h, CURLOPT_PREREQDATA, nullptr);

    if (transfer.failure) {
        response.clear();
        std::rethrow_exception(transfer.failure);
    }
    if (rc != CURLE_OK) {
        response.clear();
        std::string message;
        if (rc == CURLE_ABORTED_BY_CALLBACK && !transfer.timeoutMessage.empty())
            message = transfer.timeoutMessage;
        else if (errorBuffer_[0] != '\0')
            message = errorBuffer_;
        else
            message = curl_easy_strerror(rc);
        throw Error("REST request failed: " + message);
    }
    if (!transfer.headerEnded) {
        response.clear();
        throw Error("REST request failed: transfer closed inside the header section of the answer");
    }

    long code = 0;
    long version = 0;
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &code);
    curl_easy_getinfo(h, CURLINFO_HTTP_VERSION, &version);
    response.statusCode_ = int(code);
    response.version_ = versionOf(version);
    if (code >= 500)
        throw Error(response.StatusLine());
}

size_t RestClient::onBody(char *data, size_t size, size_t count, void *p) {
    auto &t = *static_cast<Transfer *>(p);
    try {
        t.response->body_.append(data, size * count);
        return size * count;
    } catch (...) {
        t.failure = std::current_exception();
        return 0; // stops the transfer
    }
}

size_t RestClient::onHeader(char *data, size_t size, size_t count, void *p) {
    auto &t = *static_cast<Transfer *>(p);
    const std::string_view line(data, size * count);
    try {
        if (line.starts_with("HTTP/")) {
            // "HTTP/1.1 503 Service Unavailable": a new answer begins (the next hop of a redirect,
            // or the real answer after an interim one).
            std::string_view rest = line.substr(std::min(line.find(' '), line.size()));
            while (!rest.empty() && rest.front() == ' ')
                rest.remove_prefix(1);
            int code = 0;
            const auto [end, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), code);
            (void)ec;
            rest.remove_prefix(size_t(end - rest.data()));
            if (!rest.empty() && rest.front() == ' ')
                rest.remove_prefix(1);
            while (!rest.empty() && (rest.back() == '\r' || rest.back() == '\n'))
                rest.remove_suffix(1);
            t.response->beginAnswer(code, std::string(rest));
            t.headerEnded = false;
        } else if (line == "\r\n" || line == "\n") {
            t.headerEnded = true;
        } else {
            t.response->addHeaderLine(line);
        }
        return size * count;
    } catch (...) {
        t.failure = std::current_exception();
        return 0;
    }
}

int RestClient::onConnected(void *p, char *, char *, int, int) {
    auto &t = *static_cast<Transfer *>(p);
    t.connected = true;
    t.lastDown = t.lastUp = -1;
    t.lastActivity = Clock::now();
    return CURL_PREREQFUNC_OK;
}

int RestClient::onProgress(void *p, curl_off_t, curl_off_t dlNow, curl_off_t ulTotal,
                           curl_off_t ulNow) {
    auto &t = *static_cast<Transfer *>(p);
    if (!t.connected)
        return 0;
    const auto now = Clock::now();
    if (dlNow != t.lastDown || ulNow != t.lastUp) {
        t.lastDown = dlNow;
        t.lastUp = ulNow;
        t.lastActivity = now;
        return 0;
    }
    const bool sending = ulTotal > 0 && ulNow < ulTotal;
    const auto limit = sending ? t.timeouts->send : t.timeouts->read;
    if (now - t.lastActivity < limit)
        return 0;
    t.timeoutMessage = sending ? "Operation timed out: nothing could be sent for " +
                                     std::to_string(limit.count()) + " milliseconds"
                               : "Operation timed out: nothing received for " +
                                     std::to_string(limit.count()) + " milliseconds";
    return 1; // aborts the transfer
}

} // namespace wik::rest
