#include "foundation/BrowserLauncher.h"

#include "foundation/Console.h"
#include "foundation/DispatchQueue.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>

extern char** environ;

namespace {
Foundation::BrowserOpener& replacement() {
    static Foundation::BrowserOpener opener;
    return opener;
}
} // namespace

void Foundation::setBrowserOpener(BrowserOpener opener) { replacement() = std::move(opener); }

bool Foundation::openInBrowser(const URL& url, std::string* error) {
    if (replacement()) return replacement()(url, error);
    const std::string address = url.absoluteString();
    if (url.scheme().empty() || address.empty() || address[0] == '-') {
        if (error) *error = "not an absolute URL: " + address;
        return false;
    }
    std::string program = "xdg-open";
    char* argv[] = {program.data(), const_cast<char*>(address.c_str()), nullptr};
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, program.c_str(), nullptr, nullptr, argv, environ);
    if (rc != 0) {
        if (error) *error = "cannot run xdg-open: " + std::string(std::strerror(rc));
        return false;
    }
    DispatchQueue::global().async([pid, address] {
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {}
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) Console::write("xdg-open could not open " + address + "\n");
    });
    return true;
}
