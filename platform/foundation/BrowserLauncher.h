#pragma once
// Opens a web address in the user's browser: runs `xdg-open ADDRESS` found on
// PATH, without a shell, and reaps it on a worker thread (a failed exit is
// logged). Only absolute URLs with a scheme are passed, so the address can
// never read as an option.
// Thread rules: any thread.
#include "foundation/URL.h"

#include <functional>
#include <string>

namespace Foundation {
// True when the opener started; otherwise false with a reason in `error`.
bool openInBrowser(const URL& url, std::string* error = nullptr);

// Replaces what openInBrowser does (tests record the addresses instead); an
// empty opener restores xdg-open. Set it before other threads open addresses.
using BrowserOpener = std::function<bool(const URL& url, std::string* error)>;
void setBrowserOpener(BrowserOpener opener);
} // namespace Foundation
