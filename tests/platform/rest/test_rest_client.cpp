// The REST layer against loopback servers: what goes on the wire, how answers and failures come
// back, redirects, cookies, time-outs and TLS.
#include "RecordingServer.h"
#include "RestClient.h"
#include "RestRequest.h"
#include "RestResponse.h"

#include "ErrorOf.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <openssl/evp.h>
#include <openssl/x509.h>

#include <httplib.h>

#include <cstdlib>
#include <memory>

using resttest::RawServer;
using resttest::RecordingServer;
using resttest::rawReply;
using testerr::errorOf;
using testing::HasSubstr;
using testing::StartsWith;
using wik::rest::HttpVersion;
using wik::rest::Method;
using wik::rest::RestClient;
using wik::rest::RestRequest;
using wik::rest::RestResponse;

namespace {

struct Rest {
    explicit Rest(const std::string &base) : client(base), request(client, response) {}
    RestClient client;
    RestResponse response;
    RestRequest request;

    void get(const std::string &resource) {
        request.setResource(resource);
        request.setMethod(Method::Get);
        request.Execute();
    }
};

TEST(RestRequestOnTheWire, GetSendsTheHeadersExactlyAsGivenAndNoBody) {
    RecordingServer server;
    Rest rest(server.url() + "/api");
    rest.request.addHeader("Authorization", "Basic a2Fs+m9y/w==");
    rest.request.addHeader("X-Raw", "a b%20c/?&=");
    rest.get("invoices/get");

    const auto r = server.lastRequest();
    EXPECT_EQ(r.method, "GET");
    EXPECT_EQ(r.target, "/api/invoices/get");
    EXPECT_EQ(r.header("Accept"), "application/json, text/plain; q=0.9, text/html;q=0.8,");
    EXPECT_EQ(r.header("Accept-Charset"), "utf-8, *;q=0.8");
    EXPECT_EQ(r.header("Authorization"), "Basic a2Fs+m9y/w==");
    EXPECT_EQ(r.header("X-Raw"), "a b%20c/?&=");
    EXPECT_EQ(r.header("User-Agent"), RestClient::kUserAgent);
    EXPECT_EQ(r.headerValues("Accept").size(), 1u);
    EXPECT_FALSE(r.header("Cookie").has_value());
    EXPECT_FALSE(r.header("Content-Type").has_value());
    EXPECT_EQ(r.body, "");
    EXPECT_EQ(rest.response.StatusCode(), 200);
    EXPECT_EQ(rest.response.Content(), "ok");
}

TEST(RestRequestOnTheWire, PostSendsTheBodyBytesWithItsContentTypeAndNoExpect) {
    RecordingServer server;
    Rest rest(server.url() + "/api/");
    const std::string body = "{\"order_id\": \"Hotel Some\xC8\x99 \xE2\x82\xAC\"}";
    rest.request.setResource("invoices/set");
    rest.request.setMethod(Method::Post);
    rest.request.addHeader("Authorization", "Basic Og==");
    rest.request.addBody(body, "application/json");
    rest.request.Execute();

    const auto r = server.lastRequest();
    EXPECT_EQ(r.method, "POST");
    EXPECT_EQ(r.target, "/api/invoices/set");
    EXPECT_EQ(r.body, body);
    EXPECT_EQ(r.headerValues("Content-Type"), std::vector<std::string>{"application/json"});
    EXPECT_EQ(r.header("Content-Length"), std::to_string(body.size()));
    EXPECT_FALSE(r.header("Expect").has_value());
}

TEST(RestRequestOnTheWire, ClearedParametersAndBodyDoNotReachTheNextRequest) {
    RecordingServer server;
    Rest rest(server.url());
    rest.request.setResource("set");
    rest.request.setMethod(Method::Post);
    rest.request.addHeader("X-Old", "1");
    rest.request.addBody("{\"a\": 1}", "application/json");
    rest.request.Execute();

    rest.request.clearParams();
    rest.request.clearBody();
    rest.request.addHeader("X-New", "2");
    rest.get("get");

    const auto r = server.lastRequest();
    EXPECT_EQ(r.method, "GET");
    EXPECT_EQ(r.target, "/get");
    EXPECT_FALSE(r.header("X-Old").has_value());
    EXPECT_EQ(r.header("X-New"), "2");
    EXPECT_FALSE(r.header("Content-Type").has_value());
    EXPECT_EQ(r.body, "");
}

TEST(RestRequestOnTheWire, AHeaderParameterTakesThePlaceOfTheDefaultAccept) {
    RecordingServer server;
    Rest rest(server.url());
    rest.request.addHeader("accept", "text/plain");
    rest.request.setAcceptCharset("");
    rest.get("x");
    const auto r = server.lastRequest();
    EXPECT_EQ(r.headerValues("Accept"), std::vector<std::string>{"text/plain"});
    EXPECT_FALSE(r.header("Accept-Charset").has_value());
}

TEST(RestRequestOnTheWire, AnEmptyHeaderValueIsSentEmpty) {
    RecordingServer server;
    Rest rest(server.url());
    rest.request.addHeader("X-Empty", "");
    rest.get("x");
    EXPECT_EQ(server.lastRequest().header("X-Empty"), "");
}

TEST(RestRequestOnTheWire, AHeaderValueWithALineBreakIsRefusedBeforeSending) {
    RecordingServer server;
    Rest rest(server.url());
    rest.request.addHeader("Authorization", "Basic x\r\nX-Injected: 1");
    EXPECT_THAT(errorOf([&] { rest.get("x"); }), StartsWith("REST request failed: "));
    EXPECT_EQ(server.requestCount(), 0u);
}

struct JoinCase {
    const char *base;
    const char *resource;
    const char *url;
};

TEST(RestClientUrl, JoinsBaseAndResourceWithOneSlash) {
    const JoinCase cases[] = {
        {"http://h/api", "invoices/get", "http://h/api/invoices/get"},
        {"http://h/api/", "invoices/get", "http://h/api/invoices/get"},
        {"http://h/api//", "invoices/get", "http://h/api//invoices/get"},
        {"http://h", "", "http://h"},
        {"", "invoices/get", "/invoices/get"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(RestClient::joinUrl(c.base, c.resource), c.url) << c.base << " + " << c.resource;
}

struct StatusCase {
    int status;
    const char *thrown; // nullptr: the answer is handed back
};

TEST(RestResponseStatus, AnswersBelow500AreHandedBackAndServerErrorsRaiseTheirStatusLine) {
    const StatusCase cases[] = {
        {200, nullptr},
        {201, nullptr},
        {204, nullptr},
        {401, nullptr},
        {404, nullptr},
        {499, nullptr},
        {500, "HTTP/1.1 500 Internal Server Error"},
        {503, "HTTP/1.1 503 Service Unavailable"},
    };
    RecordingServer server;
    Rest rest(server.url());
    for (const auto &c : cases) {
        SCOPED_TRACE(c.status);
        server.reply("/s", c.status, c.status == 204 ? "" : "body " + std::to_string(c.status));
        if (c.thrown) {
            EXPECT_EQ(errorOf([&] { rest.get("s"); }), c.thrown);
            EXPECT_EQ(rest.response.StatusCode(), c.status);
        } else {
            ASSERT_NO_THROW(rest.get("s"));
            EXPECT_EQ(rest.response.StatusCode(), c.status);
            EXPECT_EQ(rest.response.Content(), c.status == 204 ? "" : "body " + std::to_string(c.status));
            EXPECT_EQ(rest.response.Version(), HttpVersion::Http11);
        }
    }
}

struct StatusLineCase {
    const char *answer;
    const char *message;
};

TEST(RestResponseStatus, TheStatusLineCarriesTheVersionAndTheServersReasonPhrase) {
    const StatusLineCase cases[] = {
        {"HTTP/1.0 502 Bad Gateway\r\nContent-Length: 0\r\n\r\n", "HTTP/1.0 502 Bad Gateway"},
        {"HTTP/1.1 503 Try Again Later\r\nContent-Length: 0\r\n\r\n", "HTTP/1.1 503 Try Again Later"},
        {"HTTP/1.1 599 \r\nContent-Length: 0\r\n\r\n", "HTTP/1.1 599 "},
    };
    RecordingServer server;
    Rest rest(server.url());
    for (const auto &c : cases) {
        server.on("/x", [&](const resttest::RecordedRequest &) { return rawReply(c.answer); });
        EXPECT_EQ(errorOf([&] { rest.get("x"); }), c.message);
    }
}

TEST(RestResponseStatus, HeadersAndVersionOfAnHttp10Answer) {
    RecordingServer server;
    server.on("/x", [](const resttest::RecordedRequest &) {
        return rawReply("HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n"
                        "X-Thing:  two words \r\nContent-Length: 5\r\n\r\nhello");
    });
    Rest rest(server.url());
    rest.get("x");
    EXPECT_EQ(rest.response.Version(), HttpVersion::Http10);
    EXPECT_EQ(rest.response.StatusText(), "OK");
    EXPECT_EQ(rest.response.HeaderValue("x-thing"), "two words");
    EXPECT_EQ(rest.response.ContentType(), "text/plain");
    EXPECT_EQ(rest.response.RawBytes(), "hello");
}

TEST(RestRedirects, FiveAreFollowedAndTheSixthIsRefused) {
    RecordingServer server;
    for (int i = 1; i <= 6; ++i)
        server.on("/r" + std::to_string(i), [i](const resttest::RecordedRequest &) {
            resttest::Reply r;
            r.status = 302;
            r.headers = {{"Location", "/r" + std::to_string(i - 1)}};
            return r;
        });
    server.reply("/r0", 200, "arrived");
    Rest rest(server.url());

    rest.get("r5");
    EXPECT_EQ(rest.response.StatusCode(), 200);
    EXPECT_EQ(rest.response.Content(), "arrived");
    EXPECT_EQ(server.requestCount(), 6u);

    const std::string message = errorOf([&] { rest.get("r6"); });
    EXPECT_THAT(message, StartsWith("REST request failed: "));
    EXPECT_THAT(message, HasSubstr("(5) redirects"));
}

TEST(RestRedirects, A3xxWithoutLocationIsHandedBack) {
    RecordingServer server;
    server.reply("/moved", 302, "nowhere to go");
    Rest rest(server.url());
    rest.get("moved");
    EXPECT_EQ(rest.response.StatusCode(), 302);
    EXPECT_EQ(rest.response.Content(), "nowhere to go");
}

TEST(RestCookies, ACookieSetByTheServiceIsSentBackForTheRestOfTheRun) {
    RecordingServer server;
    server.on("/login", [](const resttest::RecordedRequest &) {
        resttest::Reply r;
        r.headers = {{"Set-Cookie", "session=abc123; Path=/"}};
        r.body = "in";
        return r;
    });
    Rest rest(server.url());
    rest.get("login");
    EXPECT_FALSE(server.lastRequest().header("Cookie").has_value());
    rest.get("next");
    EXPECT_EQ(server.lastRequest().header("Cookie"), "session=abc123");
    rest.get("again");
    EXPECT_EQ(server.lastRequest().header("Cookie"), "session=abc123");

    // Another client (another run) starts without cookies.
    Rest other(server.url());
    other.get("next");
    EXPECT_FALSE(server.lastRequest().header("Cookie").has_value());
}

TEST(RestContent, TheBodyIsDecodedByTheCharsetOfTheAnswer) {
    RecordingServer server;
    server.reply("/latin2", 200, "B\xE3" "c\xE3nia \xBAi Some\xBA", "text/plain; charset=ISO-8859-2");
    server.reply("/utf8", 200, "Hotel Some\xC8\x99", "application/json");
    server.reply("/unknown", 200, "Hotel Some\xC8\x99", "text/plain; charset=x-no-such-charset");
    server.reply("/broken", 200, "a\xFF" "b", "text/plain; charset=utf-8");
    Rest rest(server.url());

    rest.get("latin2");
    EXPECT_EQ(rest.response.Content(), "B\xC4\x83" "c\xC4\x83nia \xC5\x9Fi Some\xC5\x9F");
    EXPECT_EQ(rest.response.RawBytes(), "B\xE3" "c\xE3nia \xBAi Some\xBA");
    rest.get("utf8");
    EXPECT_EQ(rest.response.Content(), "Hotel Some\xC8\x99");
    rest.get("unknown");
    EXPECT_EQ(rest.response.Content(), "Hotel Some\xC8\x99");
    rest.get("broken");
    EXPECT_EQ(rest.response.Content(), "a\xEF\xBF\xBD" "b");
}

TEST(RestTransportFailures, ARefusedConnectionRaisesLibcurlsMessage) {
    Rest rest("http://127.0.0.1:" + std::to_string(resttest::refusedPort()));
    const std::string message = errorOf([&] { rest.get("invoices/get"); });
    EXPECT_THAT(message, StartsWith("REST request failed: "));
    EXPECT_THAT(message, HasSubstr("onnect"));
    EXPECT_EQ(rest.response.StatusCode(), 0);
}

TEST(RestTransportFailures, ASilentServerEndsTheWaitAfterTheAnswerTimeOut) {
    RecordingServer server;
    server.on("/slow", server.hang());
    Rest rest(server.url());
    RestClient::Timeouts t;
    t.read = std::chrono::milliseconds(300);
    rest.client.setTimeouts(t);
    EXPECT_EQ(errorOf([&] { rest.get("slow"); }),
              "REST request failed: Operation timed out: nothing received for 300 milliseconds");
    server.release();
    // The same client goes on working after the time-out.
    server.reply("/fast", 200, "quick");
    rest.get("fast");
    EXPECT_EQ(rest.response.Content(), "quick");
}

TEST(RestTransportFailures, AServerThatReadsNothingEndsTheSendingAfterTheSendTimeOut) {
    RawServer server;
    Rest rest(server.url());
    RestClient::Timeouts t;
    t.send = std::chrono::milliseconds(400);
    t.read = std::chrono::milliseconds(20000);
    rest.client.setTimeouts(t);
    rest.request.setMethod(Method::Post);
    rest.request.addBody(std::string(64 * 1024 * 1024, 'x'), "text/plain");
    EXPECT_EQ(errorOf([&] { rest.request.Execute(); }),
              "REST request failed: Operation timed out: nothing could be sent for 400 milliseconds");
}

// An answer the service stops sending part way is a failure of the exchange, never an answer:
// also when it ends inside the header section, where no length tells that something is missing.
TEST(RestTransportFailures, AnAnswerCutOffIsAFailure) {
    const std::string body = "[{\"order_id\": \"30000000";
    const struct {
        const char *name;
        std::string bytes;
        const char *message; // nullptr: libcurl's own text, whatever it is
    } cases[] = {
        {"in the status line", "HTTP/1.1 20", nullptr},
        {"after the status line", "HTTP/1.1 200 OK\r\n",
         "REST request failed: transfer closed inside the header section of the answer"},
        {"in a header line", "HTTP/1.1 200 OK\r\nContent-Type: appl",
         "REST request failed: transfer closed inside the header section of the answer"},
        {"before the announced length", "HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n" + body,
         "REST request failed: transfer closed with 77 bytes remaining to read"},
        {"in a chunk", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n100\r\n" + body,
         "REST request failed: transfer closed with outstanding read data remaining"},
    };
    RecordingServer server;
    Rest rest(server.url());
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        server.on("/cut", [&](const resttest::RecordedRequest &) { return rawReply(c.bytes); });
        const std::string message = errorOf([&] { rest.get("cut"); });
        if (c.message) {
            EXPECT_EQ(message, c.message);
        } else {
            EXPECT_THAT(message, StartsWith("REST request failed: "));
        }
        EXPECT_EQ(rest.response.StatusCode(), 0);
        EXPECT_EQ(rest.response.RawBytes(), "");
    }
    // An answer that ends where its header section ends, with no body announced, is whole.
    server.on("/cut", [](const resttest::RecordedRequest &) { return rawReply("HTTP/1.1 204 No Content\r\n\r\n"); });
    rest.get("cut");
    EXPECT_EQ(rest.response.StatusCode(), 204);
}

TEST(RestTransportFailures, OnlyHttpAndHttpsAreSpoken) {
    Rest rest("ftp://127.0.0.1:" + std::to_string(resttest::refusedPort()));
    const std::string message = errorOf([&] { rest.get("x"); });
    EXPECT_THAT(message, StartsWith("REST request failed: "));
    EXPECT_THAT(message, HasSubstr("ftp"));
}

TEST(RestTransportFailures, AProxyNamedInTheEnvironmentIsNotUsed) {
    RecordingServer server;
    const std::string dead = "http://127.0.0.1:" + std::to_string(resttest::refusedPort());
    ::setenv("http_proxy", dead.c_str(), 1);
    ::setenv("HTTPS_PROXY", dead.c_str(), 1);
    ::setenv("ALL_PROXY", dead.c_str(), 1);
    Rest rest(server.url());
    EXPECT_NO_THROW(rest.get("x"));
    ::unsetenv("http_proxy");
    ::unsetenv("HTTPS_PROXY");
    ::unsetenv("ALL_PROXY");
    EXPECT_EQ(server.requestCount(), 1u);
}

// A self-signed certificate for 127.0.0.1, made for the test run.
struct SelfSigned {
    SelfSigned() {
        key = EVP_EC_gen("P-256");
        cert = X509_new();
        X509_set_version(cert, 2);
        ASN1_INTEGER_set(X509_get_serialNumber(cert), 1);
        X509_gmtime_adj(X509_getm_notBefore(cert), -60);
        X509_gmtime_adj(X509_getm_notAfter(cert), 3600);
        X509_set_pubkey(cert, key);
        X509_NAME *name = X509_get_subject_name(cert);
        X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                                   reinterpret_cast<const unsigned char *>("127.0.0.1"), -1, -1, 0);
        X509_set_issuer_name(cert, name);
        X509_sign(cert, key, EVP_sha256());
    }
    ~SelfSigned() {
        X509_free(cert);
        EVP_PKEY_free(key);
    }
    EVP_PKEY *key = nullptr;
    X509 *cert = nullptr;
};

TEST(RestTls, AServiceWithAnUntrustedCertificateIsRefused) {
    SelfSigned credentials;
    httplib::SSLServer server(credentials.cert, credentials.key);
    ASSERT_TRUE(server.is_valid());
    int requests = 0;
    server.Get("/.*", [&](const httplib::Request &, httplib::Response &res) {
        ++requests;
        res.set_content("secret", "text/plain");
    });
    const int port = server.bind_to_any_port("127.0.0.1");
    std::thread thread([&] { server.listen_after_bind(); });
    while (!server.is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(2));

    Rest rest("https://127.0.0.1:" + std::to_string(port));
    const std::string message = errorOf([&] { rest.get("invoices/get"); });
    server.stop();
    thread.join();
    EXPECT_THAT(message, StartsWith("REST request failed: "));
    EXPECT_THAT(message, HasSubstr("certificate"));
    EXPECT_EQ(requests, 0);
}

} // namespace
