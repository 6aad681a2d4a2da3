#include <gtest/gtest.h>

#include <cstring>

#include "install/engine/HelperDll.h"
#include "platform/memory/MemoryModules.h"
#include "platform/memory/MemorySystemFacts.h"
#include "platform/ports/TextCodec.h"
#include "tests/native/install_app/TestLog.h"

namespace install {
namespace {

using platform::memory::MemoryModules;
using platform::memory::MemorySystemFacts;
using testing_support::RecordingLog;

// What the fake library saw and answers.
struct Fake {
    static inline std::vector<std::string> calls;
    static inline int initResult = 1;
    static inline int defaultCfgResult = 1;
    static inline std::string lastPassword;
    static inline std::u16string lastWidePassword;
    static inline int args[8];

    static void Reset() { calls.clear(); initResult = 1; defaultCfgResult = 1; lastPassword.clear(); }
    static int DefaultCfg(int a, int b, int c) { calls.push_back("CorvaneDefaultCfg"); args[0] = a; args[1] = b; args[2] = c; return defaultCfgResult; }
    static int Installed() { calls.push_back("IsCorvaneInstalled"); return 1; }
    static int Protect() { calls.push_back("IsCorvaneProtect"); return 1; }
    static int Supervisor(const char* pw, char16_t* msg, int n, int zero) {
        calls.push_back("ChangeSupervisor"); lastPassword = pw; args[0] = n; args[1] = zero;
        // A message that fills the whole buffer without a terminator.
        for (int i = 0; i < n; ++i) msg[i] = u'x';
        return 0;
    }
    static int Install(char16_t* msg, int n, int dosMem, int dosMemFix, int recovSol, int turbo, int version,
                       const char* empty, const char16_t* pw, int zero) {
        calls.push_back("InstallCorvane");
        int a[] = {n, dosMem, dosMemFix, recovSol, turbo, version, zero, static_cast<int>(std::strlen(empty))};
        std::memcpy(args, a, sizeof a);
        lastWidePassword = pw;
        const char16_t text[] = u"\uB4DC\uB77C\uC774\uBC84 failed";
        std::memcpy(msg, text, sizeof text);
        return 0;
    }
    static int Check(const char* pw) { calls.push_back("CheckPassword"); lastPassword = pw; return -1; }
    static int Uninstall(const char* pw, char16_t* msg, int n) { calls.push_back("UninstallCorvane"); lastPassword = pw; args[0] = n; return 1; }
    static int CreateCtrl(void* page, void* ctrl, int disk, int drive) {
        calls.push_back("CreateProtectDriveCtrl"); args[0] = page == reinterpret_cast<void*>(0x10); args[1] = ctrl == reinterpret_cast<void*>(0x20);
        args[2] = disk; args[3] = drive; return 1;
    }
    static int ReleaseCtrl() { calls.push_back("ReleaseProtectDriveCtrl"); return 1; }
    static int FirewallRemove(const char16_t* r) { calls.push_back("FirewallRemoveApp:" + platform::text::ToUtf8(platform::text::FromUtf16(r, std::char_traits<char16_t>::length(r)))); return 1; }
    static int NoDrives() { calls.push_back("NoDrivesUpdate"); return 1; }
    static int Unused() { return 0; }
    static int Init(int zero, int all, int sys, int automatic) {
        calls.push_back("InitCorvane"); args[0] = zero; args[1] = all; args[2] = sys; args[3] = automatic; return initResult;
    }
};

struct HelperFixture : ::testing::Test {
    MemoryModules modules;
    MemorySystemFacts facts;
    RecordingLog log;
    SystemChecks checks{facts, log};
    CHelperDLL helper{modules, log};
    InstallOptions options;

    void SetUp() override {
        Fake::Reset();
        facts.devices[L"\\\\.\\C:"] = platform::memory::MemoryDeviceSpec{0, 0, 1, 0};
        const std::wstring dll = L"_Helper.dll";
        modules.Add(dll, "CorvaneDefaultCfg", &Fake::DefaultCfg);
        modules.Add(dll, "IsCorvaneInstalled", &Fake::Installed);
        modules.Add(dll, "IsCorvaneProtect", &Fake::Protect);
        modules.Add(dll, "ChangeSupervisor", &Fake::Supervisor);
        modules.Add(dll, "InstallCorvane", &Fake::Install);
        modules.Add(dll, "CheckPassword", &Fake::Check);
        modules.Add(dll, "UninstallCorvane", &Fake::Uninstall);
        modules.Add(dll, "CreateProtectDriveCtrl", &Fake::CreateCtrl);
        modules.Add(dll, "ReleaseProtectDriveCtrl", &Fake::ReleaseCtrl);
        modules.Add(dll, "FirewallRemoveApp", &Fake::FirewallRemove);
        modules.Add(dll, "NoDrivesUpdate", &Fake::NoDrives);
        modules.Add(dll, "FirewallAddApp", &Fake::Unused);
        modules.Add(dll, "IsRunning", &Fake::Unused);
    }
    void AddInit() { modules.Add(L"_Helper.dll", "InitCorvane", &Fake::Init); }
};

TEST_F(HelperFixture, LoadResolvesAndLogsEveryExport) {
    ASSERT_TRUE(helper.Load());
    const wchar_t* names[] = {L"CorvaneDefaultCfg", L"IsCorvaneInstalled", L"IsCorvaneProtect", L"ChangeSupervisor",
                              L"InstallCorvane", L"CheckPassword", L"UninstallCorvane", L"CreateProtectDriveCtrl",
                              L"ReleaseProtectDriveCtrl", L"FirewallRemoveApp", L"NoDrivesUpdate", L"FirewallAddApp",
                              L"IsRunning"};
    ASSERT_EQ(log.texts.size(), std::size(names));
    for (size_t i = 0; i < std::size(names); ++i) EXPECT_EQ(log.texts[i], std::wstring(names[i]) + L"\n");
    EXPECT_EQ(modules.lookups.back(), "InitCorvane") << "the optional export is looked up without being logged";
}

TEST_F(HelperFixture, MissingLibraryOrExportFailsAndNothingIsCalled) {
    modules.modules[L"_Helper.dll"].erase("UninstallCorvane");
    EXPECT_FALSE(helper.Load());
    EXPECT_EQ(helper.LastError(), 127u);
    EXPECT_EQ(log.texts.back(), L"UninstallCorvane\n") << "the missing name is the last one logged";
    EXPECT_FALSE(helper.Loaded());
    EXPECT_EQ(modules.loaded, 0);
    EXPECT_EQ(helper.IsCorvaneInstalled(), 0);
    EXPECT_TRUE(Fake::calls.empty());

    modules.modules.clear();
    CHelperDLL absent(modules, log);
    EXPECT_FALSE(absent.Load());
    EXPECT_EQ(absent.LastError(), 126u);
}

TEST_F(HelperFixture, InitializeWithoutInitCorvaneKeepsSkipModeOff) {
    ASSERT_TRUE(helper.Load());
    EXPECT_TRUE(helper.Initialize(options, checks));
    EXPECT_EQ(helper.m_nPartitionStyle, 1);
    EXPECT_FALSE(helper.m_bSkipMode);
    EXPECT_TRUE(Fake::calls.empty());
}

TEST_F(HelperFixture, InitCorvaneGetsTheDriveDefaultsAndMaySwitchOnSkipMode) {
    AddInit();
    options.m_nAllDriveProtect = 1;
    options.m_nUnProtSystemDrive = 1;
    options.m_nManualRecovery = 0;
    Fake::initResult = 0;
    ASSERT_TRUE(helper.Load());
    EXPECT_TRUE(helper.Initialize(options, checks));
    EXPECT_TRUE(helper.m_bSkipMode);
    EXPECT_TRUE(log.Contains(L"Corvane Skip mode : 1\n"));
    EXPECT_EQ(Fake::calls, (std::vector<std::string>{"InitCorvane", "CorvaneDefaultCfg"}));
    EXPECT_EQ(Fake::args[0], 1);  // AllDriveProtect
    EXPECT_EQ(Fake::args[1], 0);  // UnProtSystemDrive==0
    EXPECT_EQ(Fake::args[2], 1);  // ManualRecovery==0
}

TEST_F(HelperFixture, InitializeFailures) {
    AddInit();
    ASSERT_TRUE(helper.Load());
    Fake::initResult = 0;
    Fake::defaultCfgResult = 0;
    EXPECT_FALSE(helper.Initialize(options, checks)) << "skip mode needs CorvaneDefaultCfg to succeed";

    facts.devices.clear();
    CHelperDLL second(modules, log);
    ASSERT_TRUE(second.Load());
    Fake::calls.clear();
    EXPECT_FALSE(second.Initialize(options, checks)) << "no partition style, no start";
    EXPECT_EQ(second.m_nPartitionStyle, -1);
    EXPECT_TRUE(Fake::calls.empty()) << "InitCorvane is not called without a partition style";
}

TEST_F(HelperFixture, SkipModeWithTheProductInstalledSkipsTheProtectionCalls) {
    AddInit();
    Fake::initResult = 0;
    ASSERT_TRUE(helper.Load());
    ASSERT_TRUE(helper.Initialize(options, checks));
    helper.SetProductInstalled(true);
    Fake::calls.clear();
    std::wstring message;
    EXPECT_EQ(helper.IsCorvaneProtect(), 0);
    EXPECT_NE(helper.CorvaneDefaultCfg(options), 0);
    EXPECT_NE(helper.InstallCorvane(options, message), 0);
    EXPECT_NE(helper.CheckPassword(L"x"), 0);
    EXPECT_NE(helper.ChangeSupervisor(L"x", message), 0);
    EXPECT_TRUE(Fake::calls.empty());
    EXPECT_EQ(helper.IsCorvaneInstalled(), 1);
    EXPECT_EQ(helper.UninstallCorvane(L"x", message), 1);
    EXPECT_EQ(Fake::calls, (std::vector<std::string>{"IsCorvaneInstalled", "UninstallCorvane"}));
}

TEST_F(HelperFixture, CallsPassTheirArgumentsAndMessages) {
    ASSERT_TRUE(helper.Load());
    std::wstring message;
    options.m_nDosMem = 0; options.m_nDosMemFix = 1; options.m_nRecovSol = 0; options.m_nNotTurbobootInst = 1;
    options.m_strAdminPassword = L"p\uC554w";
    EXPECT_EQ(helper.InstallCorvane(options, message), 0);
    EXPECT_EQ(message, L"\uB4DC\uB77C\uC774\uBC84 failed");
    EXPECT_EQ(Fake::args[0], 256);
    EXPECT_EQ(Fake::args[1], 0);
    EXPECT_EQ(Fake::args[2], 1);
    EXPECT_EQ(Fake::args[3], 0);
    EXPECT_EQ(Fake::args[4], 1);
    EXPECT_EQ(Fake::args[5], 0x09000000);
    EXPECT_EQ(Fake::args[6], 0);
    EXPECT_EQ(Fake::args[7], 0) << "the narrow text is empty";
    EXPECT_EQ(Fake::lastWidePassword, u"p\uC554w");

    EXPECT_EQ(helper.ChangeSupervisor(L"p\uC554w", message), 0);
    EXPECT_EQ(Fake::lastPassword, "p\xEC\x95\x94w");
    EXPECT_EQ(message, std::wstring(255, L'x')) << "an unterminated message is cut inside the buffer";
    EXPECT_EQ(Fake::args[0], 256);

    EXPECT_EQ(helper.CheckPassword(L"bramble"), -1);
    EXPECT_EQ(Fake::lastPassword, "bramble");

    options.m_nOnlySystemDisk = 1;
    helper.CreateProtectDriveCtrl(reinterpret_cast<void*>(0x10), reinterpret_cast<void*>(0x20), options);
    EXPECT_EQ(Fake::args[0], 1);
    EXPECT_EQ(Fake::args[1], 1);
    EXPECT_EQ(Fake::args[2], 1);
    EXPECT_EQ(Fake::args[3], 0);
    EXPECT_EQ(helper.FirewallRemoveApp(L"Corvane.exe"), 1);
    EXPECT_EQ(Fake::calls.back(), "FirewallRemoveApp:Corvane.exe");
}

}  // namespace
}  // namespace install
