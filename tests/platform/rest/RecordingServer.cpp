#include "RecordingServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <stdexcept>

namespace resttest {

namespace {

bool sameName(const std::string &a, const std::string &b) {
    return a.size() == b.size() && strcasecmp(a.c_str(), b.c_str()) == 0;
}

std::string trimmed(const std::string &s) {
    const size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos)
        return {};
    const size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

int listenOnLoopback(int &port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        throw std::runtime_error("socket");
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0 || ::listen(fd, 64) != 0) {
        ::close(fd);
        throw std::runtime_error("bind/listen");
    }
    socklen_t len = sizeof addr;
    ::getsockname(fd, reinterpret_cast<sockaddr *>(&addr), &len);
    port = ntohs(addr.sin_port);
    return fd;
}

// Reads one request; nullopt when the peer goes away first or the server stops.
std::optional<RecordedRequest> readRequest(int fd, const std::atomic<bool> &stopping) {
    std::string in;
    char buf[8192];
    size_t headerEnd = std::string::npos;
    size_t contentLength = 0;
    RecordedRequest r;
    while (!stopping) {
        if (headerEnd != std::string::npos && in.size() >= headerEnd + 4 + contentLength) {
            r.body = in.substr(headerEnd + 4, contentLength);
            return r;
        }
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0)
            continue;
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n <= 0)
            return std::nullopt;
        in.append(buf, size_t(n));
        if (headerEnd != std::string::npos)
            continue;
        headerEnd = in.find("\r\n\r\n");
        if (headerEnd == std::string::npos)
            continue;
        const std::string head = in.substr(0, headerEnd);
        size_t pos = 0;
        bool first = true;
        while (pos <= head.size()) {
            const size_t eol = std::min(head.find("\r\n", pos), head.size());
            const std::string line = head.substr(pos, eol - pos);
            pos = eol + 2;
            if (first) {
                first = false;
                const size_t s1 = line.find(' ');
                const size_t s2 = line.find(' ', s1 + 1);
                r.method = line.substr(0, s1);
                r.target = line.substr(s1 + 1, s2 - s1 - 1);
                continue;
            }
            const size_t colon = line.find(':');
            if (colon == std::string::npos)
                continue;
            r.headers.emplace_back(line.substr(0, colon), trimmed(line.substr(colon + 1)));
            if (sameName(r.headers.back().first, "Content-Length"))
                contentLength = std::strtoul(r.headers.back().second.c_str(), nullptr, 10);
        }
    }
    return std::nullopt;
}

void writeAll(int fd, const std::string &bytes) {
    size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.data() + written, bytes.size() - written, MSG_NOSIGNAL);
        if (n <= 0)
            return;
        written += size_t(n);
    }
}

std::string serialise(const Reply &reply) {
    if (reply.raw)
        return *reply.raw;
    std::string out = "HTTP/1.1 " + std::to_string(reply.status) + " " +
                      (reply.reason.empty() ? reasonPhrase(reply.status) : reply.reason) + "\r\n";
    for (const auto &[n, v] : reply.headers)
        out += n + ": " + v + "\r\n";
    if (reply.status != 204 && reply.status != 304 && reply.status >= 200)
        out += "Content-Length: " + std::to_string(reply.body.size()) + "\r\n";
    out += "Connection: close\r\n\r\n";
    out += reply.body;
    return out;
}

} // namespace

std::string reasonPhrase(int status) {
    switch (status) {
    case 200: return "OK";
    case 201: return "Created";
    case 202: return "Accepted";
    case 204: return "No Content";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 400: return "Bad Request";
    case 401: return "Unauthorized";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    case 502: return "Bad Gateway";
    case 503: return "Service Unavailable";
    default: return "Status";
    }
}

std::vector<std::string> RecordedRequest::headerValues(const std::string &name) const {
    std::vector<std::string> values;
    for (const auto &[n, v] : headers)
        if (sameName(n, name))
            values.push_back(v);
    return values;
}

std::optional<std::string> RecordedRequest::header(const std::string &name) const {
    const auto values = headerValues(name);
    if (values.empty())
        return std::nullopt;
    return values.front();
}

RecordingServer::RecordingServer() {
    listenFd_ = listenOnLoopback(port_);
    acceptThread_ = std::thread([this] { acceptLoop(); });
}

RecordingServer::~RecordingServer() {
    stopping_ = true;
    release();
    if (acceptThread_.joinable())
        acceptThread_.join();
    for (auto &t : connections_)
        t.join();
    ::close(listenFd_);
}

void RecordingServer::acceptLoop() {
    while (!stopping_) {
        pollfd p{listenFd_, POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0)
            continue;
        const int fd = ::accept(listenFd_, nullptr, nullptr);
        if (fd < 0)
            continue;
        connections_.emplace_back([this, fd] { serve(fd); });
    }
}

void RecordingServer::serve(int fd) {
    if (auto request = readRequest(fd, stopping_)) {
        Handler handler;
        {
            std::lock_guard lock(mutex_);
            requests_.push_back(*request);
            const auto it = handlers_.find(request->path());
            if (it != handlers_.end())
                handler = it->second;
        }
        Reply reply;
        if (handler) {
            reply = handler(*request);
        } else {
            reply.headers.emplace_back("Content-Type", "text/plain");
            reply.body = "ok";
        }
        writeAll(fd, serialise(reply));
        ::shutdown(fd, SHUT_WR);
        // Let the client read the answer and close first, so that no unread byte turns the
        // close into a reset.
        char sink[256];
        pollfd p{fd, POLLIN, 0};
        while (::poll(&p, 1, 1000) > 0 && ::read(fd, sink, sizeof sink) > 0) {
        }
    }
    ::close(fd);
}

void RecordingServer::on(const std::string &path, Handler handler) {
    std::lock_guard lock(mutex_);
    handlers_[path] = std::move(handler);
}

Reply answer(int status, std::string body, std::string contentType) {
    Reply r;
    r.status = status;
    r.body = std::move(body);
    if (!contentType.empty())
        r.headers.emplace_back("Content-Type", std::move(contentType));
    return r;
}

Reply rawReply(std::string bytes) {
    Reply r;
    r.raw = std::move(bytes);
    return r;
}

void RecordingServer::reply(const std::string &path, int status, std::string body,
                            std::string contentType) {
    on(path, [r = answer(status, std::move(body), std::move(contentType))](const RecordedRequest &) { return r; });
}

std::vector<RecordedRequest> RecordingServer::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

RecordedRequest RecordingServer::lastRequest() const {
    std::lock_guard lock(mutex_);
    return requests_.empty() ? RecordedRequest{} : requests_.back();
}

size_t RecordingServer::requestCount() const {
    std::lock_guard lock(mutex_);
    return requests_.size();
}

RecordingServer::Handler RecordingServer::hang() {
    return [this](const RecordedRequest &) {
        std::unique_lock lock(mutex_);
        released_.wait_for(lock, std::chrono::seconds(20), [this] { return isReleased_; });
        Reply r;
        r.body = "late";
        return r;
    };
}

void RecordingServer::release() {
    {
        std::lock_guard lock(mutex_);
        isReleased_ = true;
    }
    released_.notify_all();
}

RawServer::RawServer() {
    listenFd_ = listenOnLoopback(port_);
    thread_ = std::thread([this] {
        while (!stopping_) {
            pollfd p{listenFd_, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0)
                continue;
            const int fd = ::accept(listenFd_, nullptr, nullptr);
            if (fd >= 0)
                openConnections_.push_back(fd);
        }
    });
}

RawServer::~RawServer() {
    stopping_ = true;
    if (thread_.joinable())
        thread_.join();
    for (int fd : openConnections_)
        ::close(fd);
    ::close(listenFd_);
}

int refusedPort() {
    int port = 0;
    const int fd = listenOnLoopback(port);
    ::close(fd);
    return port;
}

} // namespace resttest
