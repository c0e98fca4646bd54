#pragma once
// Fetching what a URL names, with libcurl: file:, http: and https: only (also
// after redirects), at most 64 MiB, within the request's time-out. A fetch
// that got an answer succeeds whatever the HTTP status; the status is in the
// response.
// Thread rules: any thread. dataTask() runs the fetch and then its completion
// on a worker of the global queue, never on the calling thread.
#include "foundation/URL.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

// Caching is the protocol's own; the policy is carried for callers that name it.
enum class NSURLRequestCachePolicy { useProtocolCachePolicy = 0 };

struct URLRequest {
    URL url;
    double timeoutInterval = 60; // seconds
    NSURLRequestCachePolicy cachePolicy = NSURLRequestCachePolicy::useProtocolCachePolicy;
};

struct URLResponse {
    URL url;             // after redirects
    long statusCode = 0; // 0 for file: URLs
    bool isHTTP = false;
};

struct URLFetchResult {
    std::vector<unsigned char> data;
    std::optional<URLResponse> response; // none when the fetch failed
    std::string errorDescription;        // why it failed
};

class URLSession {
public:
    static URLSession& shared();
    // Blocks until done; not on the main thread of a program with a window.
    URLFetchResult fetch(const URLRequest& request) const;
    void dataTask(URLRequest request, std::function<void(URLFetchResult)> completion) const;
};
