// The control program's client of the agent service "CorvaneAgent". Each command is one short
// TCP connection to 127.0.0.1:30000: connect, send the 526-byte request, receive the reply,
// close. Every command returns the reply's result, or -1 when no valid reply came.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "control/core/AgentProtocol.h"

// Socket calls the client needs. The Windows build uses Winsock; tests use POSIX sockets or a
// scripted fake. Error codes use Winsock's numbering on every system.
class IAgentTransport {
public:
    static constexpr int kErrorWouldBlock = 10035;  // WSAEWOULDBLOCK
    static constexpr int kErrorTimedOut = 10060;    // WSAETIMEDOUT
    static constexpr int kErrorRefused = 10061;     // WSAECONNREFUSED

    virtual ~IAgentTransport() = default;
    // A new IPv4 TCP stream socket, or 0 when none could be made.
    virtual uintptr_t OpenSocket() = 0;
    // Receive and send time-outs, in milliseconds.
    virtual bool SetTimeouts(uintptr_t socket, int milliseconds) = 0;
    virtual bool Connect(uintptr_t socket, const char* address, uint16_t port) = 0;
    // Bytes sent or received (0: the peer closed), or -1 on failure.
    virtual int Send(uintptr_t socket, const uint8_t* data, int size) = 0;
    virtual int Receive(uintptr_t socket, uint8_t* data, int size) = 0;
    virtual void CloseSocket(uintptr_t socket) = 0;
    // The error of the last failing call on this thread.
    virtual int LastError() = 0;
    virtual void Sleep(int milliseconds) = 0;
};

class CAgentCtrl {
public:
    using DebugSink = std::function<void(const std::wstring&)>;

    static constexpr int kTimeoutMs = 30000;
    static constexpr int kMaxAttempts = 10;  // shared by sending and receiving

    // `debugSink` receives every debug line (may be empty). `port` is 30000 in the product;
    // tests pass the port of their own listener.
    CAgentCtrl(IAgentTransport& transport, DebugSink debugSink,
               uint16_t port = corvane_agent::kAgentPort);
    virtual ~CAgentCtrl();
    CAgentCtrl(const CAgentCtrl&) = delete;
    CAgentCtrl& operator=(const CAgentCtrl&) = delete;

    int SetVDiskEnable(int enable);
    int GetVDiskEnable();
    int SetWindowsUpdate(int block);
    int SetStorageBlocked(int blocked);
    int SetStorageSecurity(int on);

    // Between commands no connection is held.
    uintptr_t Socket() const { return socket_; }
    bool IsConnected() const { return connected_ != 0; }

private:
    // One command: connect, exchange, close. Returns the result or -1.
    int Command(uint16_t commandClass, uint16_t commandCode, const int* argument);
    bool Connect();
    bool Exchange(const corvane_agent::Request& request, corvane_agent::Reply& reply);
    void Disconnect();
    void Debug(const wchar_t* format, ...);

    IAgentTransport& transport_;
    DebugSink debugSink_;
    uint16_t port_;
    uintptr_t socket_ = 0;
    int connected_ = 0;
};

// The program's one client, talking Winsock and writing its lines with DebugPrint (Windows).
CAgentCtrl& TheAgentCtrl();
