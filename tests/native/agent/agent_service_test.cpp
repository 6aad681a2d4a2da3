// The agent service's protocol logic: request checks, each command, the kept settings and
// their file text, and a round trip with the control program's client.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "control/core/AgentCtrl.h"
#include "control/core/AgentProtocol.h"
#include "outside/agent/AgentDispatcher.h"
#include "outside/agent/AgentSettings.h"
#include "tests/native/agent/PosixAgentTransport.h"
#include "tests/native/agent/ScriptedListener.h"

namespace {

using namespace corvane_agent;

class MemorySettingsStore : public IAgentSettingsStore {
public:
    bool Load(std::string& out) override {
        if (!stored) return false;
        out = text;
        return true;
    }
    bool Save(const std::string& in) override {
        ++saves;
        if (failSaves) return false;
        text = in;
        stored = true;
        return true;
    }
    bool stored = false;
    bool failSaves = false;
    int saves = 0;
    std::string text;
};

struct Fixture {
    MemorySettingsStore store;
    std::vector<std::string> log;
    AgentDispatcher dispatcher{store, [this](const std::string& l) { log.push_back(l); }};

    int32_t Send(const Request& r) { return ResultOf(dispatcher.Answer(r.data(), r.size())); }
    int32_t Send(uint16_t cls, uint16_t code, const char* argument) {
        Request r = EncodeRequest(cls, code, nullptr);
        std::memcpy(&r[kArgumentOffset], argument, std::strlen(argument));
        return Send(r);
    }
    static int32_t ResultOf(const Reply& reply) {
        EXPECT_TRUE(ReplyHasMarker(reply));
        return ReplyResult(reply);
    }
};

TEST(AgentService, CommandsChangeAndReportTheSettings) {
    Fixture f;
    f.dispatcher.LoadSettings();
    EXPECT_EQ(AgentSettings(), f.dispatcher.Settings());  // first run: defaults, drives hidden
    EXPECT_EQ(0, f.Send(1, 1, ""));

    EXPECT_EQ(kAgentDone, f.Send(1, 0, "1"));
    EXPECT_EQ(1, f.Send(1, 1, ""));
    EXPECT_EQ(kAgentDone, f.Send(3, 2, "1"));
    EXPECT_EQ(kAgentDone, f.Send(3, 3, "1"));
    EXPECT_EQ(kAgentDone, f.Send(3, 4, "1"));
    AgentSettings all{1, 1, 1, 1};
    EXPECT_EQ(all, f.dispatcher.Settings());

    EXPECT_EQ(kAgentDone, f.Send(3, 3, "0"));
    EXPECT_EQ(kAgentDone, f.Send(1, 0, "0"));
    EXPECT_EQ(0, f.Send(1, 1, ""));
    EXPECT_EQ((AgentSettings{0, 1, 0, 1}), f.dispatcher.Settings());
    EXPECT_EQ((AgentSettings{0, 1, 0, 1}), ParseAgentSettings(f.store.text));  // stored as answered
}

TEST(AgentService, ReplyEchoesTheCommandAndCarriesTheResultAtItsOffset) {
    Fixture f;
    int one = 1;
    Request r = EncodeRequest(kClassSecurity, kCodeSetStorageSecurity, &one);
    Reply reply = f.dispatcher.Answer(r.data(), r.size());
    ASSERT_EQ(534u, reply.size());
    EXPECT_EQ(0, std::memcmp(reply.data(), "corvane", 8));
    EXPECT_EQ(3, reply[10]);
    EXPECT_EQ(4, reply[12]);
    for (size_t i = 526; i < 530; ++i) EXPECT_EQ(0, reply[i]);
    r = EncodeRequest(77, 5, nullptr);
    reply = f.dispatcher.Answer(r.data(), r.size());
    const uint8_t minusTwo[] = {0xFE, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(0, std::memcmp(&reply[526], minusTwo, 4));
}

TEST(AgentService, MalformedRequestsAreRefusedAndChangeNothing) {
    Fixture f;
    int one = 1;
    const Request good = EncodeRequest(kClassVDisk, kCodeSetVDiskEnable, &one);
    std::vector<uint8_t> longer(good.begin(), good.end());
    longer.push_back(0);
    Request badMarker = good;
    std::memcpy(badMarker.data(), "corvanex", 8);
    Request capital = good;
    capital[0] = 'C';
    Request unterminated = good;
    std::memset(&unterminated[kArgumentOffset], '1', kArgumentSize);
    struct Case {
        const char* name;
        const uint8_t* data;
        size_t size;
    } cases[] = {
        {"nothing", nullptr, 0},
        {"100 bytes", good.data(), 100},
        {"525 bytes", good.data(), 525},
        {"527 bytes", longer.data(), longer.size()},
        {"corvanex", badMarker.data(), badMarker.size()},
        {"Corvane", capital.data(), capital.size()},
        {"argument without its zero", unterminated.data(), unterminated.size()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(kAgentMalformedRequest, Fixture::ResultOf(f.dispatcher.Answer(c.data, c.size)));
    }
    EXPECT_EQ(AgentSettings(), f.dispatcher.Settings());
    EXPECT_EQ(0, f.store.saves);
    EXPECT_EQ("rejected request of 100 bytes", f.log.at(1));
}

TEST(AgentService, UnknownCommandsAndBadArgumentsAreRefused) {
    Fixture f;
    struct Case {
        uint16_t cls, code;
        const char* argument;
        int32_t expected;
    } cases[] = {
        {2, 0, "1", kAgentUnknownCommand},  {1, 2, "1", kAgentUnknownCommand},
        {3, 0, "1", kAgentUnknownCommand},  {3, 5, "1", kAgentUnknownCommand},
        {0xFFFF, 0xFFFF, "", kAgentUnknownCommand},
        {1, 0, "", kAgentBadArgument},      {1, 0, "7", kAgentBadArgument},
        {1, 0, "-1", kAgentBadArgument},    {3, 2, "1x", kAgentBadArgument},
        {3, 3, " 1", kAgentBadArgument},    {3, 4, "99999999999", kAgentBadArgument},
        {3, 4, "-", kAgentBadArgument},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.cls << "/" << c.code << " \"" << c.argument << "\"");
        EXPECT_EQ(c.expected, f.Send(c.cls, c.code, c.argument));
    }
    EXPECT_EQ(AgentSettings(), f.dispatcher.Settings());
    EXPECT_EQ(0, f.store.saves);
}

TEST(AgentService, SettingsSurviveARestartAndAFailedSaveChangesNothing) {
    MemorySettingsStore store;
    {
        AgentDispatcher first(store, nullptr);
        first.LoadSettings();
        int one = 1;
        Request r = EncodeRequest(kClassVDisk, kCodeSetVDiskEnable, &one);
        EXPECT_EQ(kAgentDone, Fixture::ResultOf(first.Answer(r.data(), r.size())));
        r = EncodeRequest(kClassSecurity, kCodeSetWindowsUpdate, &one);
        EXPECT_EQ(kAgentDone, Fixture::ResultOf(first.Answer(r.data(), r.size())));
    }
    std::vector<std::string> log;
    AgentDispatcher second(store, [&log](const std::string& l) { log.push_back(l); });
    second.LoadSettings();
    EXPECT_EQ((AgentSettings{1, 1, 0, 0}), second.Settings());

    store.failSaves = true;
    int zero = 0;
    Request r = EncodeRequest(kClassVDisk, kCodeSetVDiskEnable, &zero);
    EXPECT_EQ(kAgentNotSaved, Fixture::ResultOf(second.Answer(r.data(), r.size())));
    r = EncodeRequest(kClassVDisk, kCodeGetVDiskEnable, nullptr);
    EXPECT_EQ(1, Fixture::ResultOf(second.Answer(r.data(), r.size())));  // still what is stored
    EXPECT_EQ("could not store vdisk_visible=0", log.at(1));
}

TEST(AgentSettingsText, RoundTripsAndIgnoresWhatItDoesNotKnow) {
    AgentSettings s{1, 0, 1, 1};
    EXPECT_EQ("vdisk_visible=1\r\nblock_windows_update=0\r\nstorage_blocked=1\r\nstorage_security=1\r\n",
              FormatAgentSettings(s));
    EXPECT_EQ(s, ParseAgentSettings(FormatAgentSettings(s)));
    const struct {
        const char* text;
        AgentSettings expected;
    } cases[] = {
        {"", AgentSettings()},
        {"vdisk_visible = 1 \nfuture_setting=1\n# note\nstorage_security=1", AgentSettings{1, 0, 0, 1}},
        {"vdisk_visible=2\nblock_windows_update=yes\nstorage_blocked=\n", AgentSettings()},
        {"\x01\xff=1\nvdisk_visible", AgentSettings()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(c.expected, ParseAgentSettings(c.text));
    }
}

TEST(AgentProtocol, DecimalArguments) {
    const struct {
        const char* text;
        bool ok;
        int value;
    } cases[] = {
        {"0", true, 0}, {"1", true, 1}, {"-12", true, -12}, {"2147483647", true, 2147483647},
        {"-2147483648", true, -2147483647 - 1}, {"2147483648", false, 0}, {"", false, 0},
        {"-", false, 0}, {"+1", false, 0}, {"1 ", false, 0}, {"0x1", false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        int value = 12345;
        EXPECT_EQ(c.ok, ParseDecimalArgument(c.text, value));
        if (c.ok) {
            EXPECT_EQ(c.value, value);
        }
    }
}

TEST(AgentService, ClientAndServiceAgreeOverARealConnection) {
    MemorySettingsStore store;
    AgentDispatcher dispatcher(store, nullptr);
    dispatcher.LoadSettings();
    agent_testing::ScriptedListener listener([&dispatcher](const std::vector<uint8_t>& request) {
        Reply reply = dispatcher.Answer(request.data(), request.size());
        return std::vector<uint8_t>(reply.begin(), reply.end());
    });
    agent_testing::PosixAgentTransport transport;
    CAgentCtrl ctrl(transport, nullptr, listener.Port());
    EXPECT_EQ(0, ctrl.GetVDiskEnable());
    EXPECT_EQ(0, ctrl.SetVDiskEnable(1));
    EXPECT_EQ(1, ctrl.GetVDiskEnable());
    EXPECT_EQ(0, ctrl.SetStorageBlocked(1));
    EXPECT_EQ(kAgentBadArgument, ctrl.SetStorageSecurity(5));
    EXPECT_EQ((AgentSettings{1, 0, 1, 0}), dispatcher.Settings());
}

}  // namespace
