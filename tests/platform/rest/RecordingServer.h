#pragma once
// Loopback HTTP servers for the REST tests, written on plain sockets so that what is recorded is
// what came over the wire: no decoding of header values, no header dropped.
//
// RecordingServer: listens on 127.0.0.1 (a free port), records every request (method, target as
// sent, header lines in order, body bytes) and answers through a handler the test sets per path.
// One request per connection ("Connection: close"); each connection has its own thread.
// RawServer: accepts connections and never reads from them (a service that does not take the
// request body).
#include <atomic>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace resttest {

struct RecordedRequest {
    std::string method;
    std::string target; // the request target as sent (path and query, not decoded)
    std::vector<std::pair<std::string, std::string>> headers; // in order; values without the
                                                              // white space around them
    std::string body;

    std::string path() const { return target.substr(0, target.find('?')); }
    // Every value of the named header (names compare without regard to case).
    std::vector<std::string> headerValues(const std::string &name) const;
    // The value of the first header of that name; nullopt when absent.
    std::optional<std::string> header(const std::string &name) const;
};

struct Reply {
    int status = 200;
    std::string reason;  // empty: the usual phrase for the status
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;
    std::optional<std::string> raw; // when set, these bytes are sent instead, as they are
};

// An answer with a body of the given content type (no Content-Type header when it is empty).
Reply answer(int status, std::string body, std::string contentType = "application/json");
// An answer of these bytes, sent as they are.
Reply rawReply(std::string bytes);

class RecordingServer {
public:
    using Handler = std::function<Reply(const RecordedRequest &)>;

    RecordingServer();
    ~RecordingServer();
    RecordingServer(const RecordingServer &) = delete;
    RecordingServer &operator=(const RecordingServer &) = delete;

    int port() const { return port_; }
    std::string url() const { return "http://127.0.0.1:" + std::to_string(port_); }

    // The answer for requests whose path (without the query) is `path`; any method. Paths
    // without a handler answer 200 with the text "ok".
    void on(const std::string &path, Handler handler);
    // A fixed answer with a body of the given content type (none when empty).
    void reply(const std::string &path, int status, std::string body,
               std::string contentType = "text/plain; charset=utf-8");

    std::vector<RecordedRequest> requests() const;
    RecordedRequest lastRequest() const;
    size_t requestCount() const;

    // A handler that waits, without answering, until the server is released or destroyed.
    Handler hang();
    void release();

private:
    void acceptLoop();
    void serve(int fd);

    int listenFd_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::thread acceptThread_;
    mutable std::mutex mutex_;
    std::condition_variable released_;
    bool isReleased_ = false;
    std::map<std::string, Handler> handlers_;
    std::vector<RecordedRequest> requests_;
    std::vector<std::thread> connections_;
};

class RawServer {
public:
    RawServer();
    ~RawServer();
    RawServer(const RawServer &) = delete;
    RawServer &operator=(const RawServer &) = delete;

    int port() const { return port_; }
    std::string url() const { return "http://127.0.0.1:" + std::to_string(port_); }

private:
    int listenFd_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::vector<int> openConnections_;
    std::thread thread_;
};

// A port on 127.0.0.1 where nothing listens (bound, then closed again).
int refusedPort();

// The usual reason phrase of a status code ("Service Unavailable" for 503).
std::string reasonPhrase(int status);

} // namespace resttest
