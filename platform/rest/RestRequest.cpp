#include "RestRequest.h"

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
    exchange.headers = headers_;
    exchange.hasBody = hasBody_;
    exchange.body = body_;
    exchange.contentType = contentType_;
    client_.perform(exchange, response_);
}

} // namespace wik::rest
