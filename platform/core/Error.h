#pragma once
// The error type of every action. A refusal or failure is raised as an Error carrying the text
// the operator reads; the application's default error display shows it (platform/app).
#include <exception>
#include <memory>
#include <string>

namespace wik {

class Error : public std::exception {
public:
    explicit Error(std::string message) : message_(std::move(message)) {}
    // An error raised while handling another one; the display prefers the innermost message.
    Error(std::string message, std::shared_ptr<const Error> inner)
        : message_(std::move(message)), inner_(std::move(inner)) {}

    const char *what() const noexcept override { return message_.c_str(); }
    const std::string &message() const noexcept { return message_; }
    const Error *inner() const noexcept { return inner_.get(); }
    // Silent errors end an action without showing anything.
    virtual bool silent() const noexcept { return false; }

private:
    std::string message_;
    std::shared_ptr<const Error> inner_;
};

// Ends an action quietly: the default error display shows nothing for it.
class SilentAbort : public Error {
public:
    SilentAbort() : Error("Operation aborted") {}
    bool silent() const noexcept override { return true; }
};

// The message of any exception as the operator should read it.
std::string messageOf(const std::exception &e);

} // namespace wik
