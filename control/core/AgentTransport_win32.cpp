// Winsock behind the agent client. The socket layer itself is started by the program
// (WSAStartup at start-up), not here.
#include <winsock2.h>
#include <ws2tcpip.h>

#include "control/core/AgentCtrl.h"
#include "control/core/AgentTransport_win32.h"

namespace {

class WinsockTransport : public IAgentTransport {
public:
    uintptr_t OpenSocket() override {
        SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        return s == INVALID_SOCKET ? 0 : static_cast<uintptr_t>(s);
    }

    bool SetTimeouts(uintptr_t socket, int milliseconds) override {
        DWORD value = static_cast<DWORD>(milliseconds);
        const char* raw = reinterpret_cast<const char*>(&value);
        bool receive = ::setsockopt(static_cast<SOCKET>(socket), SOL_SOCKET, SO_RCVTIMEO, raw, sizeof value) == 0;
        bool send = ::setsockopt(static_cast<SOCKET>(socket), SOL_SOCKET, SO_SNDTIMEO, raw, sizeof value) == 0;
        return receive && send;
    }

    bool Connect(uintptr_t socket, const char* address, uint16_t port) override {
        sockaddr_in target{};
        target.sin_family = AF_INET;
        target.sin_port = ::htons(port);
        if (::inet_pton(AF_INET, address, &target.sin_addr) != 1) {
            ::WSASetLastError(WSAEINVAL);
            return false;
        }
        return ::connect(static_cast<SOCKET>(socket), reinterpret_cast<const sockaddr*>(&target), sizeof target) == 0;
    }

    int Send(uintptr_t socket, const uint8_t* data, int size) override {
        int n = ::send(static_cast<SOCKET>(socket), reinterpret_cast<const char*>(data), size, 0);
        return n == SOCKET_ERROR ? -1 : n;
    }

    int Receive(uintptr_t socket, uint8_t* data, int size) override {
        int n = ::recv(static_cast<SOCKET>(socket), reinterpret_cast<char*>(data), size, 0);
        return n == SOCKET_ERROR ? -1 : n;
    }

    void CloseSocket(uintptr_t socket) override { ::closesocket(static_cast<SOCKET>(socket)); }

    int LastError() override { return ::WSAGetLastError(); }

    void Sleep(int milliseconds) override { ::Sleep(static_cast<DWORD>(milliseconds)); }
};

}  // namespace

IAgentTransport& WinsockAgentTransport() {
    static WinsockTransport transport;
    return transport;
}
