#include "control/core/AgentCtrl.h"

#include <cstdarg>
#include <cwchar>
#include <utility>

using namespace corvane_agent;

CAgentCtrl::CAgentCtrl(IAgentTransport& transport, DebugSink debugSink, uint16_t port)
    : transport_(transport), debugSink_(std::move(debugSink)), port_(port) {}

CAgentCtrl::~CAgentCtrl() { Disconnect(); }

int CAgentCtrl::SetVDiskEnable(int enable) {
    int result = Command(kClassVDisk, kCodeSetVDiskEnable, &enable);
    Debug(L"CAgentCtrl SetVDiskEnable return val : %d", result);
    return result;
}

int CAgentCtrl::GetVDiskEnable() {
    int result = Command(kClassVDisk, kCodeGetVDiskEnable, nullptr);
    Debug(L"CAgentCtrl GetVDiskEnable return val : %d", result);
    return result;
}

// The three security commands have always shared one debug text; support scripts grep for it.
int CAgentCtrl::SetWindowsUpdate(int block) {
    int result = Command(kClassSecurity, kCodeSetWindowsUpdate, &block);
    Debug(L"CAgentCtrl SetWindowsUpdate return val : %d", result);
    return result;
}

int CAgentCtrl::SetStorageBlocked(int blocked) {
    int result = Command(kClassSecurity, kCodeSetStorageBlocked, &blocked);
    Debug(L"CAgentCtrl SetWindowsUpdate return val : %d", result);
    return result;
}

int CAgentCtrl::SetStorageSecurity(int on) {
    int result = Command(kClassSecurity, kCodeSetStorageSecurity, &on);
    Debug(L"CAgentCtrl SetWindowsUpdate return val : %d", result);
    return result;
}

int CAgentCtrl::Command(uint16_t commandClass, uint16_t commandCode, const int* argument) {
    int result = -1;
    if (Connect()) {
        Reply reply{};
        if (Exchange(EncodeRequest(commandClass, commandCode, argument), reply)) result = ReplyResult(reply);
    }
    Disconnect();
    return result;
}

bool CAgentCtrl::Connect() {
    socket_ = transport_.OpenSocket();
    if (socket_ == 0) {
        Debug(L"CAgentCtrl sock error %d", transport_.LastError());
        return false;
    }
    transport_.SetTimeouts(socket_, kTimeoutMs);
    if (!transport_.Connect(socket_, kAgentAddress, port_)) {
        Debug(L"CAgentCtrl sock connect %d", transport_.LastError());
        Disconnect();
        return false;
    }
    connected_ = 1;
    return true;
}

bool CAgentCtrl::Exchange(const Request& request, Reply& reply) {
    int attempts = 0;
    for (;;) {
        int sent = transport_.Send(socket_, request.data(), static_cast<int>(request.size()));
        ++attempts;
        if (sent >= 0) break;
        int error = transport_.LastError();
        if (error != IAgentTransport::kErrorWouldBlock) {
            Debug(L"AgentCtrl Send Error : %d", error);
            return false;
        }
        if (attempts >= kMaxAttempts) break;
        transport_.Sleep(1);
    }
    // With every attempt spent the reply stays zero and fails the marker test below.
    if (attempts < kMaxAttempts) {
        for (;;) {
            int received = transport_.Receive(socket_, reply.data(), static_cast<int>(reply.size()));
            ++attempts;
            if (received >= 0) break;
            int error = transport_.LastError();
            if (error != IAgentTransport::kErrorWouldBlock) {
                Debug(L"AgentCtrl Recv Error : %d", error);
                return false;
            }
            if (attempts >= kMaxAttempts) break;
            transport_.Sleep(1);
        }
    }
    return ReplyHasMarker(reply);
}

void CAgentCtrl::Disconnect() {
    if (socket_ != 0) transport_.CloseSocket(socket_);
    socket_ = 0;
    connected_ = 0;
}

void CAgentCtrl::Debug(const wchar_t* format, ...) {
    if (!debugSink_) return;
    wchar_t line[256];
    va_list args;
    va_start(args, format);
    int n = std::vswprintf(line, sizeof line / sizeof line[0], format, args);
    va_end(args);
    if (n < 0) line[0] = L'\0';
    debugSink_(line);
}
