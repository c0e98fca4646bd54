#pragma once
// A one-thread HTTP server on 127.0.0.1 for tests: answers every GET with the
// response registered for its path, 404 with a text body otherwise.
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <map>
#include <string>
#include <thread>

namespace vyk::test {

class LoopbackServer {
public:
    struct Answer {
        int status;
        std::string body;
    };
    explicit LoopbackServer(std::map<std::string, Answer> answers) : answers_(std::move(answers)) {
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = 0;
        socklen_t len = sizeof a;
        if (::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(fd_, 8) != 0 ||
            ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len) != 0)
            return;
        port_ = ntohs(a.sin_port);
        thread_ = std::thread([this] { serve(); });
    }
    ~LoopbackServer() {
        stop_ = true;
        ::shutdown(fd_, SHUT_RDWR);
        ::close(fd_);
        if (thread_.joinable()) thread_.join();
    }
    std::string base() const { return "http://127.0.0.1:" + std::to_string(port_); }

private:
    void serve() {
        while (!stop_) {
            const int c = ::accept(fd_, nullptr, nullptr);
            if (c < 0) return;
            std::string request;
            char buf[2048];
            while (request.find("\r\n\r\n") == std::string::npos) {
                const ssize_t n = ::read(c, buf, sizeof buf);
                if (n <= 0) break;
                request.append(buf, static_cast<std::size_t>(n));
            }
            const auto sp1 = request.find(' '), sp2 = request.find(' ', sp1 + 1);
            const std::string path = sp1 == std::string::npos ? "" : request.substr(sp1 + 1, sp2 - sp1 - 1);
            const auto it = answers_.find(path);
            const Answer answer = it != answers_.end() ? it->second : Answer{404, "<html>Not found</html>"};
            const std::string reply = "HTTP/1.1 " + std::to_string(answer.status) +
                                      " X\r\nContent-Length: " + std::to_string(answer.body.size()) +
                                      "\r\nConnection: close\r\n\r\n" + answer.body;
            for (std::size_t sent = 0; sent < reply.size();) {
                const ssize_t n = ::write(c, reply.data() + sent, reply.size() - sent);
                if (n <= 0) break;
                sent += static_cast<std::size_t>(n);
            }
            ::close(c);
        }
    }

    std::map<std::string, Answer> answers_;
    int fd_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

} // namespace vyk::test
