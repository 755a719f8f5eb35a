#pragma once
// One request of the REST layer: the resource under the client's base URL, the method, the header
// parameters and an optional text body. Execute sends it through the client, synchronously on the
// calling thread, and leaves the answer in the response object.
#include "RestClient.h"

#include <string>
#include <utility>
#include <vector>

namespace wik::rest {

class RestResponse;

class RestRequest {
public:
    RestRequest(RestClient &client, RestResponse &response) : client_(client), response_(response) {}

    void setResource(std::string resource) { resource_ = std::move(resource); }
    const std::string &Resource() const { return resource_; }
    void setMethod(Method method) { method_ = method; }
    Method method() const { return method_; }

    // The "Accept" and "Accept-Charset" headers of every request; a header parameter of the same
    // name takes their place. An empty value sends no header.
    static constexpr const char *kDefaultAccept = "application/json, text/plain; q=0.9, text/html;q=0.8,";
    static constexpr const char *kDefaultAcceptCharset = "utf-8, *;q=0.8";
    void setAccept(std::string accept) { accept_ = std::move(accept); }
    const std::string &Accept() const { return accept_; }
    void setAcceptCharset(std::string acceptCharset) { acceptCharset_ = std::move(acceptCharset); }
    const std::string &AcceptCharset() const { return acceptCharset_; }

    // Header parameters are sent exactly as given: no URL encoding, no folding.
    void addHeader(std::string name, std::string value);
    const std::vector<std::pair<std::string, std::string>> &headers() const { return headers_; }
    // Removes every parameter left from an earlier request.
    void clearParams() { headers_.clear(); }

    // The body: text sent as its UTF-8 bytes (no byte-order mark) with the given content type.
    void addBody(std::string text, std::string contentType);
    void clearBody();

    // The URL the request goes to: the client's base URL joined with the resource.
    std::string url() const { return RestClient::joinUrl(client_.BaseURL(), resource_); }

    // Sends the request and waits for the answer; raises as RestClient::perform says.
    void Execute();

private:
    RestClient &client_;
    RestResponse &response_;
    std::string resource_;
    Method method_ = Method::Get;
    std::string accept_ = kDefaultAccept;
    std::string acceptCharset_ = kDefaultAcceptCharset;
    std::vector<std::pair<std::string, std::string>> headers_;
    bool hasBody_ = false;
    std::string body_;
    std::string contentType_;
};

} // namespace wik::rest
