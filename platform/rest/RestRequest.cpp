#include "RestRequest.h"

#include <strings.h>

namespace wik::rest {

void RestRequest::addHeader(std::string name, std::string value) {
    headers_.emplace_back(std::move(name), std::move(value));
}

void RestRequest::addBody(std::string text, std::string contentType) {
    hasBody_ = true;
    body_ = std::move(text);
    contentType_ = std::move(contentType);
}

void RestRequest::clearBody() {
    hasBody_ = false;
    body_.clear();
    contentType_.clear();
}

void RestRequest::Execute() {
    RestClient::Exchange exchange;
    exchange.method = method_;
    exchange.url = url();
    const auto given = [this](const char *name) {
        for (const auto &h : headers_)
            if (strcasecmp(h.first.c_str(), name) == 0)
                return true;
        return false;
    };
    if (!accept_.empty() && !given("Accept"))
        exchange.headers.emplace_back("Accept", accept_);
    if (!acceptCharset_.empty() && !given("Accept-Charset"))
        exchange.headers.emplace_back("Accept-Charset", acceptCharset_);
    exchange.headers.insert(exchange.headers.end(), headers_.begin(), headers_.end());
    exchange.hasBody = hasBody_;
    exchange.body = body_;
    exchange.contentType = contentType_;
    client_.perform(exchange, response_);
}

} // namespace wik::rest
