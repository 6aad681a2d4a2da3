// What the agent's settings do to Windows: the policy per setting combination, when the
// dispatcher carries it out, and that failures are logged without losing the setting.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "control/core/AgentProtocol.h"
#include "outside/agent/AgentDispatcher.h"
#include "outside/agent/AgentPolicy.h"

namespace {

using namespace corvane_agent;

TEST(AgentPolicy, EachCombinationOfSettings) {
    const struct {
        AgentSettings settings;
        SystemPolicy expected;
    } cases[] = {
        // visible, update, blocked, security      usbstor, write protect, wuauserv, stop
        {{0, 0, 0, 0}, {kStartDemand, 0, kStartDemand, false}},
        {{0, 0, 1, 0}, {kStartDemand, 0, kStartDemand, false}},  // blocked means nothing with security off
        {{0, 0, 0, 1}, {kStartDemand, 1, kStartDemand, false}},  // read-only
        {{0, 0, 1, 1}, {kStartDisabled, 0, kStartDemand, false}},  // forbidden
        {{1, 1, 0, 0}, {kStartDemand, 0, kStartDisabled, true}},
        {{1, 1, 1, 1}, {kStartDisabled, 0, kStartDisabled, true}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(FormatAgentSettings(c.settings));
        EXPECT_EQ(c.expected, PolicyFor(c.settings));
    }
    EXPECT_FALSE(PolicyRestrictsAnything(AgentSettings{1, 0, 1, 0}));
    EXPECT_TRUE(PolicyRestrictsAnything(AgentSettings{0, 0, 0, 1}));
    EXPECT_TRUE(PolicyRestrictsAnything(AgentSettings{0, 1, 0, 0}));
}

class RecordingSystem : public IAgentSystem {
public:
    uint32_t SetServiceStart(const std::wstring& service, uint32_t start) override {
        calls.push_back(Narrow(service) + " start " + std::to_string(start));
        return missingUsbStor && service == L"USBSTOR" ? 1060 : 0;  // ERROR_SERVICE_DOES_NOT_EXIST
    }
    uint32_t StopService(const std::wstring& service) override {
        calls.push_back(Narrow(service) + " stop");
        return 0;
    }
    uint32_t SetStorageWriteProtect(uint32_t value) override {
        calls.push_back("write protect " + std::to_string(value));
        return 0;
    }
    static std::string Narrow(const std::wstring& w) { return std::string(w.begin(), w.end()); }
    bool missingUsbStor = false;
    std::vector<std::string> calls;
};

class MemoryStore : public IAgentSettingsStore {
public:
    bool Load(std::string& out) override {
        out = text;
        return !text.empty();
    }
    bool Save(const std::string& in) override {
        text = in;
        return true;
    }
    std::string text;
};

int32_t Send(AgentDispatcher& d, uint16_t cls, uint16_t code, int argument) {
    Request r = EncodeRequest(cls, code, &argument);
    return ReplyResult(d.Answer(r.data(), r.size()));
}

TEST(AgentPolicy, DispatcherCarriesOutOnlyTheChangedPart) {
    MemoryStore store;
    RecordingSystem system;
    AgentDispatcher d(store, nullptr, &system);
    d.LoadSettings();
    EXPECT_TRUE(system.calls.empty());  // an untouched product changes nothing at start

    EXPECT_EQ(kAgentDone, Send(d, kClassVDisk, kCodeSetVDiskEnable, 1));
    EXPECT_TRUE(system.calls.empty());

    EXPECT_EQ(kAgentDone, Send(d, kClassSecurity, kCodeSetStorageBlocked, 1));
    EXPECT_EQ(kAgentDone, Send(d, kClassSecurity, kCodeSetStorageSecurity, 1));
    EXPECT_EQ(kAgentDone, Send(d, kClassSecurity, kCodeSetWindowsUpdate, 1));
    const std::vector<std::string> expected = {
        "USBSTOR start 3", "write protect 0",  // blocked alone: security still off
        "USBSTOR start 4", "write protect 0",  // security on: forbidden
        "wuauserv start 4", "wuauserv stop",
    };
    EXPECT_EQ(expected, system.calls);

    // The same value again is carried out again: something may have undone it meanwhile.
    system.calls.clear();
    EXPECT_EQ(kAgentDone, Send(d, kClassSecurity, kCodeSetStorageBlocked, 0));
    EXPECT_EQ(kAgentDone, Send(d, kClassSecurity, kCodeSetWindowsUpdate, 0));
    EXPECT_EQ((std::vector<std::string>{"USBSTOR start 3", "write protect 1", "wuauserv start 3"}), system.calls);
}

TEST(AgentPolicy, RestrictionsInForceAreAppliedAtStartAndFailuresAreLogged) {
    MemoryStore store;
    store.text = FormatAgentSettings(AgentSettings{0, 1, 1, 1});
    RecordingSystem system;
    system.missingUsbStor = true;
    std::vector<std::string> log;
    AgentDispatcher d(store, [&log](const std::string& l) { log.push_back(l); }, &system);
    d.LoadSettings();
    EXPECT_EQ((std::vector<std::string>{"USBSTOR start 4", "write protect 0", "wuauserv start 4", "wuauserv stop"}),
              system.calls);
    const std::vector<std::string> expectedLog = {
        "settings loaded: vdisk_visible=0 block_windows_update=1 storage_blocked=1 storage_security=1",
        "USBSTOR start type 4: failed, error 1060", "storage write protection 0: done", "wuauserv start type 4: done",
        "wuauserv stop: done",
    };
    EXPECT_EQ(expectedLog, log);
    // A setting that could not be carried out everywhere is still kept and answered as done.
    EXPECT_EQ(kAgentDone, Send(d, kClassSecurity, kCodeSetStorageSecurity, 1));
    EXPECT_EQ((AgentSettings{0, 1, 1, 1}), d.Settings());
}

}  // namespace
