// A loopback listener that answers each connection with scripted bytes, for client tests.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace agent_testing {

class ScriptedListener {
public:
    // `answer` gets the bytes the client sent (up to the first 526) and returns what to send.
    using Answer = std::function<std::vector<uint8_t>(const std::vector<uint8_t>& request)>;

    explicit ScriptedListener(Answer answer) : answer_(std::move(answer)) {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        int on = 1;
        ::setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(fd_, 8);
        socklen_t length = sizeof address;
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { Run(); });
    }
    ~ScriptedListener() {
        ::shutdown(fd_, SHUT_RDWR);
        ::close(fd_);
        thread_.join();
    }
    uint16_t Port() const { return port_; }
    std::vector<std::vector<uint8_t>> Requests() {
        std::lock_guard<std::mutex> lock(mutex_);
        return requests_;
    }

    // A port on which nothing listens: bound once, then released.
    static uint16_t ClosedPort() {
        int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        socklen_t length = sizeof address;
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
        ::close(fd);
        return ntohs(address.sin_port);
    }

private:
    void Run() {
        for (;;) {
            int client = ::accept(fd_, nullptr, nullptr);
            if (client < 0) return;
            std::vector<uint8_t> request;
            uint8_t buffer[526];
            while (request.size() < sizeof buffer) {
                ssize_t n = ::recv(client, buffer, sizeof buffer - request.size(), 0);
                if (n <= 0) break;
                request.insert(request.end(), buffer, buffer + n);
            }
            {
                std::lock_guard<std::mutex> lock(mutex_);
                requests_.push_back(request);
            }
            std::vector<uint8_t> reply = answer_(request);
            if (!reply.empty()) ::send(client, reply.data(), reply.size(), MSG_NOSIGNAL);
            ::close(client);
        }
    }

    Answer answer_;
    int fd_ = -1;
    uint16_t port_ = 0;
    std::thread thread_;
    std::mutex mutex_;
    std::vector<std::vector<uint8_t>> requests_;
};

}  // namespace agent_testing
