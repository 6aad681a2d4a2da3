#include "control/app/Startup.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using control::app::IStartupHost;
using control::app::RunStartup;
using control::app::StartupOutcome;

// Scripted host: every answer is set by the test, every call is recorded in order.
class ScriptedHost : public IStartupHost {
public:
    bool anotherInstance = false;
    bool gdiplusOk = true;
    bool coreLoads = true;
    bool statusOk = true;
    uint32_t statusFlags = 0;
    bool configOk = true;
    bool socketsOk = true;
    int messageAnswer = 7;  // No

    std::vector<std::string> calls;
    std::vector<std::wstring> debugLines;
    std::vector<std::pair<unsigned, unsigned>> messages;  // style, string id

    bool CheckRunningInstance() override { calls.push_back("CheckRunningInstance"); return anotherInstance; }
    void InitCommonControls() override { calls.push_back("InitCommonControls"); }
    void InitFramework() override { calls.push_back("InitFramework"); }
    bool StartGdiplus() override { calls.push_back("StartGdiplus"); return gdiplusOk; }
    bool LoadCore() override { calls.push_back("LoadCore"); return coreLoads; }
    bool ReadStatusFlags(uint32_t& flags) override {
        calls.push_back("GetStatus");
        if (!statusOk || !coreLoads) return false;
        flags = statusFlags;
        return true;
    }
    bool ProbeConfig() override { calls.push_back("GetConfig"); return configOk && coreLoads; }
    bool StartSockets() override { calls.push_back("StartSockets"); return socketsOk; }
    void StopSockets() override { calls.push_back("StopSockets"); }
    int ShowMessage(unsigned style, unsigned id) override {
        calls.push_back("ShowMessage");
        messages.emplace_back(style, id);
        return messageAnswer;
    }
    void DebugLine(const std::wstring& text) override { debugLines.push_back(text); }
    void Restart() override { calls.push_back("Restart"); }
    void RunMainWindow() override { calls.push_back("RunMainWindow"); }
    void ReleaseCore() override { calls.push_back("ReleaseCore"); }

    bool Called(const std::string& name) const {
        for (const auto& c : calls) if (c == name) return true;
        return false;
    }
};

const std::wstring kInitLine = L"Corvane.exe initinstance";
const std::wstring kGdiplusFail = L"ERROR : Fail to GdiplusStartup\n";
const std::wstring kInitFail = L"ERROR : Fail to CorvaneCtrl Initialize\n";
const std::wstring kStatusFail = L"ERROR : Fail to CorvaneCtrl GetStatus\n";
const std::wstring kConfigFail = L"ERROR : Fail to CorvaneCtrl GetConfig\n";
const std::wstring kAgentFail = L"ERROR : Fail to CorvaneAgent Initialize\n";
const std::wstring kDone = L"CorvaneCtrl Initialize done\n";

struct FailureCase {
    const char* name;
    void (*arrange)(ScriptedHost&);
    StartupOutcome outcome;
    std::vector<std::wstring> debugLines;
    std::vector<std::pair<unsigned, unsigned>> messages;
};

TEST(Startup, EachFailureShowsItsLinesAndMessageAndNoWindow) {
    const std::vector<FailureCase> cases = {
        {"gdiplus", [](ScriptedHost& h) { h.gdiplusOk = false; }, StartupOutcome::GdiplusFailed,
         {kInitLine, kGdiplusFail}, {}},
        {"library missing", [](ScriptedHost& h) { h.coreLoads = false; }, StartupOutcome::CoreUnusable,
         {kInitLine, kInitFail, kStatusFail, kConfigFail}, {{16, 202}}},
        {"status fails", [](ScriptedHost& h) { h.statusOk = false; }, StartupOutcome::CoreUnusable,
         {kInitLine, kStatusFail}, {{16, 202}}},
        {"config fails", [](ScriptedHost& h) { h.configOk = false; }, StartupOutcome::CoreUnusable,
         {kInitLine, kConfigFail}, {{16, 202}}},
        {"sockets fail with a good core", [](ScriptedHost& h) { h.socketsOk = false; },
         StartupOutcome::SocketLayerFailed, {kInitLine, kAgentFail}, {{16, 202}}},
        {"sockets and core fail: one message", [](ScriptedHost& h) { h.socketsOk = false; h.coreLoads = false; },
         StartupOutcome::SocketLayerFailed, {kInitLine, kInitFail, kStatusFail, kConfigFail, kAgentFail}, {{16, 202}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedHost host;
        c.arrange(host);
        EXPECT_EQ(RunStartup(host), c.outcome);
        EXPECT_EQ(host.debugLines, c.debugLines);
        EXPECT_EQ(host.messages, c.messages);
        EXPECT_FALSE(host.Called("RunMainWindow"));
        EXPECT_FALSE(host.Called("Restart"));
    }
}

TEST(Startup, SecondInstanceStopsBeforeAnythingElse) {
    ScriptedHost host;
    host.anotherInstance = true;
    EXPECT_EQ(RunStartup(host), StartupOutcome::AnotherInstanceRuns);
    EXPECT_EQ(host.calls, std::vector<std::string>{"CheckRunningInstance"});
    EXPECT_TRUE(host.debugLines.empty());
}

TEST(Startup, CleanRunKeepsTheOrderAndReleasesAfterTheWindow) {
    ScriptedHost host;
    EXPECT_EQ(RunStartup(host), StartupOutcome::MainWindowClosed);
    const std::vector<std::string> expected = {
        "CheckRunningInstance", "InitCommonControls", "InitFramework", "StartGdiplus", "LoadCore",
        "GetStatus", "GetConfig", "StartSockets", "RunMainWindow", "ReleaseCore", "StopSockets"};
    EXPECT_EQ(host.calls, expected);
    EXPECT_EQ(host.debugLines, (std::vector<std::wstring>{kInitLine, kDone}));
    EXPECT_TRUE(host.messages.empty());
}

TEST(Startup, RebuiltBootRecordOffersRestart) {
    struct Case { const char* name; uint32_t flags; int answer; StartupOutcome outcome; bool asked; };
    const Case cases[] = {
        {"bit 28, Yes restarts", 0x10000000, 6, StartupOutcome::RestartRequested, true},
        {"bit 28, No opens the window", 0x10000000, 7, StartupOutcome::MainWindowClosed, true},
        {"other bits ask nothing", 0x0FFFFFFF, 6, StartupOutcome::MainWindowClosed, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedHost host;
        host.statusFlags = c.flags;
        host.messageAnswer = c.answer;
        EXPECT_EQ(RunStartup(host), c.outcome);
        if (c.asked) {
            ASSERT_EQ(host.messages.size(), 1u);
            EXPECT_EQ(host.messages[0], (std::pair<unsigned, unsigned>{4, 247}));
        } else {
            EXPECT_TRUE(host.messages.empty());
        }
        bool restarted = c.outcome == StartupOutcome::RestartRequested;
        EXPECT_EQ(host.Called("Restart"), restarted);
        EXPECT_EQ(host.Called("RunMainWindow"), !restarted);
    }
}

}  // namespace
