// The agent's listener on 127.0.0.1:30000: one thread accepts, each connection is served on a
// thread of its own with bounded waits, so slow or vanished clients cannot hold the service.
#pragma once

#include <winsock2.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

#include "outside/agent/AgentDispatcher.h"
#include "outside/agent/AgentFiles_win32.h"

namespace corvane_agent {

class AgentServer {
public:
    static constexpr int kMaxClients = 32;
    static constexpr DWORD kRequestWaitMs = 5000;  // the whole request must arrive within this
    static constexpr DWORD kReplyWaitMs = 5000;
    static constexpr DWORD kLingerMs = 2000;       // for the client to read the reply and close

    AgentServer(AgentDispatcher& dispatcher, FileLog& log, uint16_t port = kAgentPort)
        : dispatcher_(dispatcher), log_(log), port_(port) {}
    ~AgentServer() { Stop(); }

    // Starts listening in the background; the port is taken as soon as it is free.
    void Start();
    // Stops accepting and waits for the connections in progress (each ends within its bounds).
    void Stop();

private:
    SOCKET Listen();
    void AcceptLoop();
    void Serve(SOCKET client);

    AgentDispatcher& dispatcher_;
    FileLog& log_;
    uint16_t port_;
    std::atomic<bool> stopping_{false};
    std::thread acceptThread_;
    std::mutex mutex_;
    std::condition_variable changed_;
    int active_ = 0;
};

}  // namespace corvane_agent
