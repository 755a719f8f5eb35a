#pragma once
// Owning handles for the C objects the REST layer works with. Each one is released by its own
// library's function, exactly once, whatever way the scope is left.
#include <curl/curl.h>
#include <iconv.h>

#include <memory>
#include <type_traits>

namespace wik::rest {

struct CurlEasyCleanup {
    void operator()(CURL *handle) const noexcept { curl_easy_cleanup(handle); }
};
using CurlPtr = std::unique_ptr<CURL, CurlEasyCleanup>;

struct CurlSlistFree {
    void operator()(curl_slist *list) const noexcept { curl_slist_free_all(list); }
};
using SlistPtr = std::unique_ptr<curl_slist, CurlSlistFree>;

struct IconvClose {
    void operator()(iconv_t cd) const noexcept { iconv_close(cd); }
};
// iconv_t is a pointer type; a failed iconv_open gives (iconv_t)-1, which is never wrapped.
using IconvPtr = std::unique_ptr<std::remove_pointer_t<iconv_t>, IconvClose>;

} // namespace wik::rest
