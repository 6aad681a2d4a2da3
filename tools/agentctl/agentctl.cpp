// agentctl.exe: test tool for the agent service. Sends the control program's commands through
// its own client (TheAgentCtrl, so the debug lines are the program's), and plays misbehaving
// clients with raw sockets. Not part of the product package.
//
//   agentctl get-vdisk | set-vdisk N | set-windows-update N | set-storage-blocked N
//            | set-storage-security N                      prints "result=R"
//   agentctl raw KIND [SECONDS]                            prints "reply=none" or "reply=R"
//       KIND: short (100 bytes, then end of sending), oversized (a request and 300 more bytes),
//             badmarker ("corvanex"), unknown (class 9 code 9), badarg (set-vdisk "7"),
//             silent (connects, sends nothing for SECONDS), slow (a byte every 200 ms),
//             vanish (half a request, then a reset)
//   agentctl flood N                                       N clients at once; prints "answered=A of N"
//   agentctl mute-listener SECONDS                         holds 127.0.0.1:30000 for SECONDS, taking
//       requests and never answering (the agent's port must be free); prints "listening" first
#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <thread>
#include <vector>

#include "control/core/AgentCtrl.h"
#include "control/core/AgentProtocol.h"
#include "control/core/AgentTransport_win32.h"

namespace {

using namespace corvane_agent;

SOCKET ConnectRaw() {
    SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) return s;
    DWORD timeout = 30000;
    ::setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = ::htons(kAgentPort);
    address.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
    if (::connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        std::wprintf(L"connect failed: %d\n", ::WSAGetLastError());
        ::closesocket(s);
        return INVALID_SOCKET;
    }
    return s;
}

// Reads until the peer closes or 534 bytes came; prints the result when the reply counts.
int PrintReply(SOCKET s) {
    Reply reply{};
    size_t got = 0;
    while (got < reply.size()) {
        int n = ::recv(s, reinterpret_cast<char*>(reply.data() + got), static_cast<int>(reply.size() - got), 0);
        if (n <= 0) break;
        got += static_cast<size_t>(n);
    }
    if (got == 0 || !ReplyHasMarker(reply)) {
        std::wprintf(L"reply=none\n");
    } else {
        std::wprintf(L"reply=%d\n", ReplyResult(reply));
    }
    return 0;
}

void SendAll(SOCKET s, const uint8_t* data, size_t size) {
    ::send(s, reinterpret_cast<const char*>(data), static_cast<int>(size), 0);
}

int Raw(const std::wstring& kind, int seconds) {
    SOCKET s = ConnectRaw();
    if (s == INVALID_SOCKET) return 1;
    Request good = EncodeRequest(kClassVDisk, kCodeGetVDiskEnable, nullptr);
    if (kind == L"short") {
        SendAll(s, good.data(), 100);
        ::shutdown(s, SD_SEND);
    } else if (kind == L"oversized") {
        std::vector<uint8_t> bytes(good.begin(), good.end());
        bytes.resize(bytes.size() + 300, 'x');
        SendAll(s, bytes.data(), bytes.size());
    } else if (kind == L"badmarker") {
        Request r = good;
        std::memcpy(r.data(), "corvanex", 9);
        SendAll(s, r.data(), r.size());
    } else if (kind == L"unknown") {
        Request r = EncodeRequest(9, 9, nullptr);
        SendAll(s, r.data(), r.size());
    } else if (kind == L"badarg") {
        int seven = 7;
        Request r = EncodeRequest(kClassVDisk, kCodeSetVDiskEnable, &seven);
        SendAll(s, r.data(), r.size());
    } else if (kind == L"silent") {
        ::Sleep(static_cast<DWORD>(seconds) * 1000);
    } else if (kind == L"slow") {
        for (size_t i = 0; i < good.size(); ++i) {
            if (::send(s, reinterpret_cast<const char*>(&good[i]), 1, 0) != 1) break;
            ::Sleep(200);
        }
    } else if (kind == L"vanish") {
        SendAll(s, good.data(), 200);
        LINGER abort{1, 0};  // close with a reset, as a crashed client would
        ::setsockopt(s, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&abort), sizeof abort);
        ::closesocket(s);
        std::wprintf(L"reply=none\n");
        return 0;
    } else {
        std::fwprintf(stderr, L"unknown kind %ls\n", kind.c_str());
        ::closesocket(s);
        return 2;
    }
    int rc = PrintReply(s);
    ::closesocket(s);
    return rc;
}

int Flood(int clients) {
    std::atomic<int> answered{0};
    std::vector<std::thread> threads;
    for (int i = 0; i < clients; ++i) {
        threads.emplace_back([&answered] {
            CAgentCtrl client(WinsockAgentTransport(), nullptr);
            if (client.GetVDiskEnable() >= 0) ++answered;
        });
    }
    for (auto& t : threads) t.join();
    std::wprintf(L"answered=%d of %d\n", answered.load(), clients);
    return answered.load() == clients ? 0 : 1;
}

int MuteListener(int seconds) {
    SOCKET listener = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = ::htons(kAgentPort);
    address.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
    if (listener == INVALID_SOCKET || ::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener, SOMAXCONN) != 0) {
        std::wprintf(L"listen failed: %d\n", ::WSAGetLastError());
        return 1;
    }
    std::wprintf(L"listening\n");
    std::fflush(stdout);
    std::vector<SOCKET> clients;
    DWORD end = ::GetTickCount() + static_cast<DWORD>(seconds) * 1000;
    while (static_cast<int>(end - ::GetTickCount()) > 0) {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(listener, &readable);
        timeval tv{0, 200000};
        if (::select(0, &readable, nullptr, nullptr, &tv) == 1) {
            SOCKET client = ::accept(listener, nullptr, nullptr);
            if (client != INVALID_SOCKET) clients.push_back(client);  // held open, never answered
        }
    }
    for (SOCKET c : clients) ::closesocket(c);
    ::closesocket(listener);
    return 0;
}

int Usage() {
    std::fwprintf(stderr, L"usage: agentctl get-vdisk | set-vdisk N | set-windows-update N | set-storage-blocked N |"
                          L" set-storage-security N | raw KIND [SECONDS] | flood N | mute-listener SECONDS\n");
    return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return Usage();
    WSADATA data{};
    if (::WSAStartup(MAKEWORD(2, 2), &data) != 0) return 1;
    std::wstring command = argv[1];
    int value = argc > 2 ? static_cast<int>(std::wcstol(argv[2], nullptr, 10)) : 0;
    int rc = 0;
    CAgentCtrl& agent = TheAgentCtrl();
    if (command == L"get-vdisk") std::wprintf(L"result=%d\n", agent.GetVDiskEnable());
    else if (command == L"set-vdisk" && argc > 2) std::wprintf(L"result=%d\n", agent.SetVDiskEnable(value));
    else if (command == L"set-windows-update" && argc > 2) std::wprintf(L"result=%d\n", agent.SetWindowsUpdate(value));
    else if (command == L"set-storage-blocked" && argc > 2) std::wprintf(L"result=%d\n", agent.SetStorageBlocked(value));
    else if (command == L"set-storage-security" && argc > 2) std::wprintf(L"result=%d\n", agent.SetStorageSecurity(value));
    else if (command == L"raw" && argc > 2) rc = Raw(argv[2], argc > 3 ? static_cast<int>(std::wcstol(argv[3], nullptr, 10)) : 10);
    else if (command == L"flood" && argc > 2) rc = Flood(value);
    else if (command == L"mute-listener" && argc > 2) rc = MuteListener(value);
    else rc = Usage();
    std::fflush(stdout);
    ::WSACleanup();
    return rc;
}
