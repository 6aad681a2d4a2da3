#include "outside/agent/AgentServer_win32.h"

#include <ws2tcpip.h>

#include <chrono>
#include <string>
#include <vector>

namespace corvane_agent {

namespace {

// Waits until `s` is readable or `milliseconds` pass; false on time-out or error.
bool WaitReadable(SOCKET s, DWORD milliseconds) {
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(s, &readable);
    timeval tv{static_cast<long>(milliseconds / 1000), static_cast<long>((milliseconds % 1000) * 1000)};
    return ::select(0, &readable, nullptr, nullptr, &tv) == 1;
}

DWORD MillisecondsLeft(std::chrono::steady_clock::time_point deadline) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    return left.count() > 0 ? static_cast<DWORD>(left.count()) : 0;
}

}  // namespace

void AgentServer::Start() {
    stopping_ = false;
    acceptThread_ = std::thread([this] { AcceptLoop(); });
}

void AgentServer::Stop() {
    if (!acceptThread_.joinable()) return;
    stopping_ = true;
    acceptThread_.join();
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return active_ == 0; });
    log_.Write("listener stopped");
}

SOCKET AgentServer::Listen() {
    SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) return s;
    // Nobody else may bind the port under us while we hold it.
    BOOL on = TRUE;
    ::setsockopt(s, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&on), sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = ::htons(port_);
    address.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);  // loopback only: never reachable from outside
    if (::bind(s, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(s, SOMAXCONN) != 0) {
        int error = ::WSAGetLastError();
        ::closesocket(s);
        ::WSASetLastError(error);
        return INVALID_SOCKET;
    }
    return s;
}

void AgentServer::AcceptLoop() {
    SOCKET listener = INVALID_SOCKET;
    int lastError = 0;
    // The port may still be held by a previous run or another program: keep trying.
    while (!stopping_) {
        listener = Listen();
        if (listener != INVALID_SOCKET) break;
        int error = ::WSAGetLastError();
        if (error != lastError) log_.Write("cannot listen on 127.0.0.1:" + std::to_string(port_) + ", error " +
                                           std::to_string(error) + "; retrying every second");
        lastError = error;
        for (int i = 0; i < 10 && !stopping_; ++i) ::Sleep(100);
    }
    if (listener == INVALID_SOCKET) return;
    log_.Write("listening on 127.0.0.1:" + std::to_string(port_));

    while (!stopping_) {
        {
            // At most kMaxClients at once; further clients wait in the listen queue.
            std::unique_lock<std::mutex> lock(mutex_);
            changed_.wait_for(lock, std::chrono::milliseconds(250), [this] { return active_ < kMaxClients; });
            if (active_ >= kMaxClients) continue;
        }
        if (!WaitReadable(listener, 250)) continue;
        SOCKET client = ::accept(listener, nullptr, nullptr);
        if (client == INVALID_SOCKET) {
            log_.Write("accept failed, error " + std::to_string(::WSAGetLastError()));
            ::Sleep(50);
            continue;
        }
        {
            std::lock_guard<std::mutex> lock(mutex_);
            ++active_;
        }
        try {
            std::thread([this, client] {
                Serve(client);
                std::lock_guard<std::mutex> lock(mutex_);
                --active_;
                changed_.notify_all();
            }).detach();
        } catch (const std::system_error&) {
            log_.Write("no thread for a client; connection closed");
            ::closesocket(client);
            std::lock_guard<std::mutex> lock(mutex_);
            --active_;
        }
    }
    ::closesocket(listener);
}

void AgentServer::Serve(SOCKET client) {
    DWORD replyWait = kReplyWaitMs;
    ::setsockopt(client, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&replyWait), sizeof replyWait);

    uint8_t request[kRequestSize];
    size_t received = 0;
    bool closedEarly = false;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kRequestWaitMs);
    while (received < kRequestSize) {
        DWORD left = MillisecondsLeft(deadline);
        if (left == 0 || !WaitReadable(client, left)) break;
        int n = ::recv(client, reinterpret_cast<char*>(request + received), static_cast<int>(kRequestSize - received), 0);
        if (n <= 0) { closedEarly = true; break; }
        received += static_cast<size_t>(n);
    }
    if (received == 0) {
        log_.Write(closedEarly ? "client left without a request" : "client sent nothing in time; closed");
        ::closesocket(client);
        return;
    }
    if (received < kRequestSize)
        log_.Write(std::string(closedEarly ? "client stopped sending" : "client too slow") + " after " +
                   std::to_string(received) + " bytes");

    Reply reply = dispatcher_.Answer(request, received);
    int sent = ::send(client, reinterpret_cast<const char*>(reply.data()), static_cast<int>(reply.size()), 0);
    if (sent != static_cast<int>(reply.size())) {
        log_.Write("reply not delivered, error " + std::to_string(::WSAGetLastError()));
    } else {
        // Let the client read the reply and close first; bytes beyond a request are dropped.
        // Closing with unread input would reset the connection and could lose the reply.
        auto lingerUntil = std::chrono::steady_clock::now() + std::chrono::milliseconds(kLingerMs);
        size_t extra = 0;
        char sink[1024];
        for (;;) {
            DWORD left = MillisecondsLeft(lingerUntil);
            if (left == 0 || !WaitReadable(client, left)) break;
            int n = ::recv(client, sink, sizeof sink, 0);
            if (n <= 0) break;
            extra += static_cast<size_t>(n);
        }
        if (extra > 0) log_.Write("ignored " + std::to_string(extra) + " bytes after the request");
    }
    ::closesocket(client);
}

}  // namespace corvane_agent
