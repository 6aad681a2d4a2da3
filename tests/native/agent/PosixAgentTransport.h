// POSIX sockets behind the agent client, for native tests against real listeners. Errors are
// translated to Winsock's numbers, the ones the client knows.
#pragma once

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "control/core/AgentCtrl.h"

namespace agent_testing {

class PosixAgentTransport : public IAgentTransport {
public:
    uintptr_t OpenSocket() override {
        int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        if (fd < 0) { Remember(); return 0; }
        return static_cast<uintptr_t>(fd) + 1;  // 0 means "no socket", and 0 is a valid fd here
    }
    bool SetTimeouts(uintptr_t socket, int milliseconds) override {
        timeval tv{milliseconds / 1000, (milliseconds % 1000) * 1000};
        timeoutsSet = milliseconds;
        return ::setsockopt(Fd(socket), SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv) == 0 &&
               ::setsockopt(Fd(socket), SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv) == 0;
    }
    bool Connect(uintptr_t socket, const char* address, uint16_t port) override {
        sockaddr_in target{};
        target.sin_family = AF_INET;
        target.sin_port = htons(port);
        ::inet_pton(AF_INET, address, &target.sin_addr);
        if (::connect(Fd(socket), reinterpret_cast<sockaddr*>(&target), sizeof target) == 0) return true;
        Remember();
        return false;
    }
    int Send(uintptr_t socket, const uint8_t* data, int size) override {
        ssize_t n = ::send(Fd(socket), data, static_cast<size_t>(size), MSG_NOSIGNAL);
        if (n < 0) Remember();
        return static_cast<int>(n);
    }
    int Receive(uintptr_t socket, uint8_t* data, int size) override {
        ssize_t n = ::recv(Fd(socket), data, static_cast<size_t>(size), 0);
        if (n < 0) Remember();
        return static_cast<int>(n);
    }
    void CloseSocket(uintptr_t socket) override { ::close(Fd(socket)); ++closes; }
    int LastError() override { return error_; }
    void Sleep(int milliseconds) override { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

    int timeoutsSet = 0;
    int closes = 0;

private:
    static int Fd(uintptr_t socket) { return static_cast<int>(socket - 1); }
    void Remember() {
        switch (errno) {
        // The sockets are blocking: EAGAIN only comes from an elapsed SO_RCVTIMEO/SO_SNDTIMEO,
        // which Winsock reports as a time-out, not as "would block".
        case EAGAIN: error_ = kErrorTimedOut; break;
        case ECONNREFUSED: error_ = kErrorRefused; break;
        case ECONNRESET: error_ = 10054; break;
        case EPIPE: error_ = 10058; break;
        default: error_ = 10000 + errno; break;
        }
    }
    int error_ = 0;
};

}  // namespace agent_testing
