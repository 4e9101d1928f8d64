// One owner per libcurl handle, each with its cleanup function built in.
#pragma once

#include <curl/curl.h>

#include <memory>

namespace veltrano::platform::linux_web {

struct CurlEasyCleanup {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct CurlMultiCleanup {
    void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};
struct CurlShareCleanup {
    void operator()(CURLSH* share) const { curl_share_cleanup(share); }
};
struct CurlSlistCleanup {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
struct CurlUrlCleanup {
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
};

using UniqueCurlEasy = std::unique_ptr<CURL, CurlEasyCleanup>;
using UniqueCurlMulti = std::unique_ptr<CURLM, CurlMultiCleanup>;
using UniqueCurlShare = std::unique_ptr<CURLSH, CurlShareCleanup>;
using UniqueCurlSlist = std::unique_ptr<curl_slist, CurlSlistCleanup>;
using UniqueCurlUrl = std::unique_ptr<CURLU, CurlUrlCleanup>;

// An easy handle registered with a multi handle; removed before either goes.
class CurlMultiMembership {
public:
    CurlMultiMembership(CURLM* multi, CURL* easy) : multi_(multi), easy_(easy) {
        added_ = curl_multi_add_handle(multi_, easy_) == CURLM_OK;
    }
    ~CurlMultiMembership() {
        if (added_) curl_multi_remove_handle(multi_, easy_);
    }
    CurlMultiMembership(const CurlMultiMembership&) = delete;
    CurlMultiMembership& operator=(const CurlMultiMembership&) = delete;
    [[nodiscard]] bool added() const { return added_; }

private:
    CURLM* multi_;
    CURL* easy_;
    bool added_ = false;
};

}  // namespace veltrano::platform::linux_web
