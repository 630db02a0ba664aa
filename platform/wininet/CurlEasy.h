#pragma once
// An easy handle that cleans itself up.

#include <curl/curl.h>

#include <memory>

namespace wininet {

struct CurlEasyFree {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
using CurlEasyPtr = std::unique_ptr<CURL, CurlEasyFree>;

}  // namespace wininet
