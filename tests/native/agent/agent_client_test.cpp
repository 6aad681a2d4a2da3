// CAgentCtrl: the request bytes, the reply rules, the would-block rule, the debug lines, and
// real exchanges with a loopback listener.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "control/core/AgentCtrl.h"
#include "control/core/AgentInProcessTransport.h"
#include "control/core/AgentProtocol.h"
#include "tests/native/agent/PosixAgentTransport.h"
#include "tests/native/agent/ScriptedListener.h"

namespace {

using namespace corvane_agent;
using agent_testing::PosixAgentTransport;
using agent_testing::ScriptedListener;

std::vector<uint8_t> Bytes(const Reply& reply) { return std::vector<uint8_t>(reply.begin(), reply.end()); }

// --- request encoding --------------------------------------------------------------------

struct RequestCase {
    const char* name;
    int (*call)(CAgentCtrl&);
    uint16_t commandClass;
    uint16_t commandCode;
    const char* argument;  // nullptr: the argument field stays zero
};

const RequestCase kRequestCases[] = {
    {"SetVDiskEnable(1)", [](CAgentCtrl& c) { return c.SetVDiskEnable(1); }, 1, 0, "1"},
    {"SetVDiskEnable(0)", [](CAgentCtrl& c) { return c.SetVDiskEnable(0); }, 1, 0, "0"},
    {"GetVDiskEnable()", [](CAgentCtrl& c) { return c.GetVDiskEnable(); }, 1, 1, nullptr},
    {"SetWindowsUpdate(1)", [](CAgentCtrl& c) { return c.SetWindowsUpdate(1); }, 3, 2, "1"},
    {"SetStorageBlocked(1)", [](CAgentCtrl& c) { return c.SetStorageBlocked(1); }, 3, 3, "1"},
    {"SetStorageSecurity(0)", [](CAgentCtrl& c) { return c.SetStorageSecurity(0); }, 3, 4, "0"},
    {"SetStorageSecurity(-12)", [](CAgentCtrl& c) { return c.SetStorageSecurity(-12); }, 3, 4, "-12"},
};

TEST(AgentClient, EachCommandSendsItsExactRequest) {
    ScriptedListener listener([](const std::vector<uint8_t>&) { return Bytes(EncodeReply(0, 0, 0)); });
    PosixAgentTransport transport;
    CAgentCtrl ctrl(transport, nullptr, listener.Port());
    for (const RequestCase& c : kRequestCases) {
        SCOPED_TRACE(c.name);
        size_t before = listener.Requests().size();
        EXPECT_EQ(0, c.call(ctrl));
        std::vector<uint8_t> sent = listener.Requests().at(before);
        ASSERT_EQ(526u, sent.size());
        std::vector<uint8_t> expected(526, 0);
        std::memcpy(expected.data(), "corvane", 8);
        expected[10] = static_cast<uint8_t>(c.commandClass);
        expected[12] = static_cast<uint8_t>(c.commandCode);
        if (c.argument) std::memcpy(&expected[14], c.argument, std::strlen(c.argument));
        EXPECT_EQ(expected, sent);
    }
}

TEST(AgentProtocol, SetVDiskEnableOneHasClassCodeAndTextAtTheirOffsets) {
    int one = 1;
    Request r = EncodeRequest(kClassVDisk, kCodeSetVDiskEnable, &one);
    const uint8_t head[] = {'c', 'o', 'r', 'v', 'a', 'n', 'e', 0, 0, 0, 0x01, 0x00, 0x00, 0x00, '1'};
    EXPECT_EQ(0, std::memcmp(head, r.data(), sizeof head));
    for (size_t i = sizeof head; i < r.size(); ++i) ASSERT_EQ(0, r[i]) << "byte " << i;
}

// --- replies and failures over real sockets ----------------------------------------------

struct ReplyCase {
    const char* name;
    std::vector<uint8_t> reply;
    int expected;
};

std::vector<uint8_t> WithText(size_t size, const char* text, size_t textBytes) {
    std::vector<uint8_t> bytes(size, 0);
    std::memcpy(bytes.data(), text, textBytes);
    return bytes;
}

TEST(AgentClient, RepliesCountOnlyWithTheExactMarker) {
    std::vector<uint8_t> withResult = Bytes(EncodeReply(1, 1, 7));
    std::vector<uint8_t> negative = Bytes(EncodeReply(1, 1, -5));
    std::vector<uint8_t> longer = withResult;
    longer.resize(600, 0xEE);  // bytes past the reply are not read
    const ReplyCase cases[] = {
        {"full reply", withResult, 7},
        {"negative result", negative, -5},
        {"longer than a reply", longer, 7},
        {"100 bytes with the marker", WithText(100, "corvane", 8), 0},
        {"marker only", WithText(8, "corvane", 8), 0},
        {"7 bytes: the zero-filled buffer ends the marker", WithText(7, "corvane", 7), 0},
        {"marker cut short", WithText(5, "corva", 5), -1},
        {"corvanex", WithText(534, "corvanex", 9), -1},
        {"Corvane", WithText(534, "Corvane", 8), -1},
        {"nothing, connection closed", {}, -1},
    };
    for (const ReplyCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> reply = c.reply;
        ScriptedListener listener([reply](const std::vector<uint8_t>&) { return reply; });
        PosixAgentTransport transport;
        std::vector<std::wstring> lines;
        CAgentCtrl ctrl(transport, [&lines](const std::wstring& l) { lines.push_back(l); }, listener.Port());
        EXPECT_EQ(c.expected, ctrl.GetVDiskEnable());
        wchar_t line[64];
        swprintf(line, 64, L"CAgentCtrl GetVDiskEnable return val : %d", c.expected);
        EXPECT_EQ(std::vector<std::wstring>{line}, lines);  // a bad marker adds no line of its own
        EXPECT_EQ(30000, transport.timeoutsSet);
        EXPECT_EQ(1, transport.closes);
        EXPECT_FALSE(ctrl.IsConnected());
        EXPECT_EQ(0u, ctrl.Socket());
    }
}

TEST(AgentClient, NothingListeningFailsAtOnceWithTheConnectLine) {
    PosixAgentTransport transport;
    std::vector<std::wstring> lines;
    CAgentCtrl ctrl(transport, [&lines](const std::wstring& l) { lines.push_back(l); }, ScriptedListener::ClosedPort());
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(-1, ctrl.SetVDiskEnable(1));
    EXPECT_EQ(-1, ctrl.GetVDiskEnable());
    EXPECT_EQ(-1, ctrl.SetStorageSecurity(1));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    const std::vector<std::wstring> expected = {
        L"CAgentCtrl sock connect 10061", L"CAgentCtrl SetVDiskEnable return val : -1",
        L"CAgentCtrl sock connect 10061", L"CAgentCtrl GetVDiskEnable return val : -1",
        L"CAgentCtrl sock connect 10061", L"CAgentCtrl SetWindowsUpdate return val : -1",
    };
    EXPECT_EQ(expected, lines);
    EXPECT_EQ(3, transport.closes);  // the refused socket is closed too
}

// --- the attempt rule, with a scripted transport -----------------------------------------

// Plays back scripted outcomes of send and receive; records every call.
class ScriptedTransport : public IAgentTransport {
public:
    struct Step {
        int returned;  // bytes, or -1
        int error;     // LastError after a -1
    };
    std::deque<Step> sends, receives;
    std::vector<uint8_t> replyBytes = Bytes(EncodeReply(1, 0, 3));
    bool openFails = false, connectFails = false;
    int openError = 10024, connectError = 10061;
    std::vector<std::string> calls;

    uintptr_t OpenSocket() override {
        calls.push_back("open");
        if (openFails) { error_ = openError; return 0; }
        return 77;
    }
    bool SetTimeouts(uintptr_t, int ms) override { calls.push_back("timeouts " + std::to_string(ms)); return true; }
    bool Connect(uintptr_t, const char* address, uint16_t port) override {
        calls.push_back(std::string("connect ") + address + ":" + std::to_string(port));
        if (connectFails) { error_ = connectError; return false; }
        return true;
    }
    int Send(uintptr_t, const uint8_t*, int size) override {
        calls.push_back("send " + std::to_string(size));
        return Play(sends, size);
    }
    int Receive(uintptr_t, uint8_t* data, int size) override {
        calls.push_back("recv " + std::to_string(size));
        int n = Play(receives, static_cast<int>(replyBytes.size()));
        if (n > 0) std::memcpy(data, replyBytes.data(), static_cast<size_t>(n));
        return n;
    }
    void CloseSocket(uintptr_t socket) override { calls.push_back("close " + std::to_string(socket)); }
    int LastError() override { return error_; }
    void Sleep(int ms) override { calls.push_back("sleep " + std::to_string(ms)); }

private:
    int Play(std::deque<Step>& steps, int whole) {
        if (steps.empty()) return whole;
        Step s = steps.front();
        steps.pop_front();
        if (s.returned < 0) error_ = s.error;
        return s.returned;
    }
    int error_ = 0;
};

size_t Count(const std::vector<std::string>& calls, const std::string& prefix) {
    size_t n = 0;
    for (const auto& c : calls) n += c.rfind(prefix, 0) == 0;
    return n;
}

constexpr int kWouldBlock = 10035;

TEST(AgentClient, ConnectsToLoopbackPort30000WithThirtySecondTimeouts) {
    ScriptedTransport t;
    CAgentCtrl ctrl(t, nullptr);
    EXPECT_EQ(3, ctrl.SetVDiskEnable(1));
    const std::vector<std::string> expected = {"open", "timeouts 30000", "connect 127.0.0.1:30000",
                                               "send 526", "recv 534", "close 77"};
    EXPECT_EQ(expected, t.calls);
}

struct AttemptCase {
    const char* name;
    std::deque<ScriptedTransport::Step> sends, receives;
    int expected;
    size_t sendCalls, receiveCalls, sleeps;
    std::vector<std::wstring> lines;
};

TEST(AgentClient, WouldBlockIsRetriedWithinTenAttemptsInAll) {
    const ScriptedTransport::Step block{-1, kWouldBlock};
    const std::deque<ScriptedTransport::Step> nineBlocks(9, block), tenBlocks(10, block);
    std::deque<ScriptedTransport::Step> fourBlocksThenSent(4, block);
    fourBlocksThenSent.push_back({526, 0});
    const AttemptCase cases[] = {
        {"send blocks three times", {block, block, block}, {}, 3, 4, 1, 3,
         {L"CAgentCtrl SetVDiskEnable return val : 3"}},
        {"send and receive share the count", fourBlocksThenSent, {block, block, block}, 3, 5, 4, 7,
         {L"CAgentCtrl SetVDiskEnable return val : 3"}},
        {"ten blocked sends: no receive", tenBlocks, {}, -1, 10, 0, 9,
         {L"CAgentCtrl SetVDiskEnable return val : -1"}},
        {"sent on the tenth attempt: no attempt left to receive", [&] {
             auto s = nineBlocks; s.push_back({526, 0}); return s; }(), {}, -1, 10, 0, 9,
         {L"CAgentCtrl SetVDiskEnable return val : -1"}},
        {"receive blocks until the attempts are spent", {}, tenBlocks, -1, 1, 9, 8,
         {L"CAgentCtrl SetVDiskEnable return val : -1"}},
        {"send fails", {{-1, 10054}}, {}, -1, 1, 0, 0,
         {L"AgentCtrl Send Error : 10054", L"CAgentCtrl SetVDiskEnable return val : -1"}},
        {"receive times out", {}, {{-1, 10060}}, -1, 1, 1, 0,
         {L"AgentCtrl Recv Error : 10060", L"CAgentCtrl SetVDiskEnable return val : -1"}},
        {"peer closed without a reply", {}, {{0, 0}}, -1, 1, 1, 0,
         {L"CAgentCtrl SetVDiskEnable return val : -1"}},
    };
    for (const AttemptCase& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedTransport t;
        t.sends = c.sends;
        t.receives = c.receives;
        std::vector<std::wstring> lines;
        CAgentCtrl ctrl(t, [&lines](const std::wstring& l) { lines.push_back(l); });
        EXPECT_EQ(c.expected, ctrl.SetVDiskEnable(1));
        EXPECT_EQ(c.sendCalls, Count(t.calls, "send"));
        EXPECT_EQ(c.receiveCalls, Count(t.calls, "recv"));
        EXPECT_EQ(c.sleeps, Count(t.calls, "sleep 1"));
        EXPECT_EQ(c.sleeps, Count(t.calls, "sleep"));  // only 1 ms sleeps
        EXPECT_EQ("close 77", t.calls.back());
        EXPECT_EQ(c.lines, lines);
        EXPECT_FALSE(ctrl.IsConnected());
    }
}

TEST(AgentClient, SocketAndConnectFailuresReportTheirErrors) {
    {
        ScriptedTransport t;
        t.openFails = true;
        std::vector<std::wstring> lines;
        CAgentCtrl ctrl(t, [&lines](const std::wstring& l) { lines.push_back(l); });
        EXPECT_EQ(-1, ctrl.SetWindowsUpdate(1));
        EXPECT_EQ((std::vector<std::wstring>{L"CAgentCtrl sock error 10024", L"CAgentCtrl SetWindowsUpdate return val : -1"}),
                  lines);
        EXPECT_EQ(std::vector<std::string>{"open"}, t.calls);  // nothing to close
    }
    {
        ScriptedTransport t;
        t.connectFails = true;
        t.connectError = 10060;
        std::vector<std::wstring> lines;
        CAgentCtrl ctrl(t, [&lines](const std::wstring& l) { lines.push_back(l); });
        EXPECT_EQ(-1, ctrl.SetStorageBlocked(0));
        EXPECT_EQ((std::vector<std::wstring>{L"CAgentCtrl sock connect 10060", L"CAgentCtrl SetWindowsUpdate return val : -1"}),
                  lines);
        EXPECT_EQ("close 77", t.calls.back());
        EXPECT_EQ(0u, Count(t.calls, "send"));
        EXPECT_EQ(0u, ctrl.Socket());
    }
}

// --- the in-process transport that other parts' tests use --------------------------------

TEST(AgentInProcessTransport, ScriptsResultsRecordsRequestsAndCanRefuse) {
    AgentInProcessTransport transport(AgentInProcessTransport::Results({5, 0}));
    std::vector<std::wstring> lines;
    CAgentCtrl ctrl(transport, [&lines](const std::wstring& l) { lines.push_back(l); });
    EXPECT_EQ(5, ctrl.SetVDiskEnable(1));
    EXPECT_EQ(0, ctrl.SetVDiskEnable(1));
    EXPECT_EQ(0, ctrl.GetVDiskEnable());  // the last result repeats
    ASSERT_EQ(3u, transport.Requests().size());
    int one = 1;
    EXPECT_EQ(EncodeRequest(kClassVDisk, kCodeSetVDiskEnable, &one), transport.Requests()[0]);
    EXPECT_EQ(EncodeRequest(kClassVDisk, kCodeGetVDiskEnable, nullptr), transport.Requests()[2]);

    transport.SetListening(false);
    lines.clear();
    EXPECT_EQ(-1, ctrl.SetStorageSecurity(0));
    EXPECT_EQ((std::vector<std::wstring>{L"CAgentCtrl sock connect 10061", L"CAgentCtrl SetWindowsUpdate return val : -1"}),
              lines);
    EXPECT_EQ(3u, transport.Requests().size());  // nothing reached the "service"
}

}  // namespace
