#include "foundation/URLSession.h"

#include "foundation/DispatchQueue.h"

#include <curl/curl.h>

#include <cmath>
#include <memory>
#include <mutex>

namespace {
constexpr std::size_t maxBytes = 64u << 20;

struct Sink {
    std::vector<unsigned char>* data;
    bool tooBig = false;
};

std::size_t collect(char* bytes, std::size_t size, std::size_t count, void* user) {
    auto* sink = static_cast<Sink*>(user);
    const std::size_t n = size * count;
    if (sink->data->size() + n > maxBytes) {
        sink->tooBig = true;
        return 0; // makes curl stop with a write error
    }
    sink->data->insert(sink->data->end(), bytes, bytes + n);
    return n;
}
} // namespace

URLSession& URLSession::shared() {
    static URLSession session;
    return session;
}

URLFetchResult URLSession::fetch(const URLRequest& request) const {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });

    URLFetchResult result;
    const std::string& scheme = request.url.scheme();
    if (scheme != "file" && scheme != "http" && scheme != "https") {
        result.errorDescription = "unsupported URL: " + request.url.absoluteString();
        return result;
    }
    std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), curl_easy_cleanup);
    if (!curl) {
        result.errorDescription = "the URL loader could not start";
        return result;
    }
    const double timeout = std::isfinite(request.timeoutInterval) && request.timeoutInterval > 0
                               ? std::min(request.timeoutInterval, 86400.0)
                               : 60;
    char error[CURL_ERROR_SIZE] = {};
    Sink sink{&result.data};
    const std::string address = request.url.absoluteString();
    CURL* c = curl.get();
    curl_easy_setopt(c, CURLOPT_URL, address.c_str());
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "file,http,https");
    curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(c, CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, static_cast<long>(timeout * 1000));
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(maxBytes));
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, collect);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &sink);
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, error);
    const CURLcode code = curl_easy_perform(c);
    if (code != CURLE_OK) {
        result.data.clear();
        result.errorDescription = sink.tooBig ? "the content is larger than 64 MiB"
                                              : (error[0] ? std::string(error) : curl_easy_strerror(code));
        return result;
    }
    URLResponse response{request.url};
    char* effective = nullptr;
    if (curl_easy_getinfo(c, CURLINFO_EFFECTIVE_URL, &effective) == CURLE_OK && effective)
        if (auto u = URL::parse(effective)) response.url = *u;
    response.isHTTP = response.url.scheme() == "http" || response.url.scheme() == "https";
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &response.statusCode);
    result.response = response;
    return result;
}

void URLSession::dataTask(URLRequest request, std::function<void(URLFetchResult)> completion) const {
    DispatchQueue::global().async([this, request = std::move(request), completion = std::move(completion)] {
        URLFetchResult result = fetch(request);
        if (completion) completion(std::move(result));
    });
}
