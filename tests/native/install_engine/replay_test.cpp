#include <gtest/gtest.h>

#include "tests/native/install_engine/EngineFixture.h"

namespace install {
namespace {

using namespace platform;
using testing::Machine;

const std::wstring kInstall = L"C:\\Program Files (x86)\\Talvoric\\HDD Corvane 9";

TEST(Replay, EachKindUndoesItsChangeAndLogsItsLine) {
    struct Case {
        const char* name;
        UninstallRecord record;
        std::vector<std::wstring> lines;
        std::function<void(Machine&)> arrange;
        std::function<void(Machine&)> verify;
    } cases[] = {
        {"folder", {kRecordFolder, L"C:\\A"}, {L"Removing directory - C:\\A\n"},
         [](Machine& m) { m.pc.files.PutFolder(L"C:\\A"); },
         [](Machine& m) { EXPECT_FALSE(m.pc.files.HasFolder(L"C:\\A")); }},
        {"folder, redirection off", {kRecordFolderNoRedirect, L"C:\\Windows\\System32\\cv"},
         {L"Removing directory - C:\\Windows\\System32\\cv\n"},
         [](Machine& m) { m.pc.files.PutFolder(L"C:\\Windows\\System32\\cv"); m.pc.files.PutFolder(L"C:\\Windows\\SysWOW64\\cv"); },
         [](Machine& m) {
             EXPECT_FALSE(m.pc.files.HasFolder(L"C:\\Windows\\System32\\cv"));
             EXPECT_TRUE(m.pc.files.HasFolder(L"C:\\Windows\\SysWOW64\\cv"));
             EXPECT_FALSE(m.pc.files.RedirectionDisabled());
         }},
        {"file", {kRecordFile, L"C:\\A\\f"}, {L"Deleting file - C:\\A\\f\n"},
         [](Machine& m) { m.pc.files.PutFile(L"C:\\A\\f"); },
         [](Machine& m) { EXPECT_FALSE(m.pc.files.HasFile(L"C:\\A\\f")); }},
        {"file, redirection off", {kRecordFileNoRedirect, L"C:\\Windows\\System32\\drivers\\cv.sys"},
         {L"Deleting file - C:\\Windows\\System32\\drivers\\cv.sys\n"},
         [](Machine& m) { m.pc.files.PutFile(L"C:\\Windows\\System32\\drivers\\cv.sys"); },
         [](Machine& m) { EXPECT_FALSE(m.pc.files.HasFile(L"C:\\Windows\\System32\\drivers\\cv.sys")); }},
        {"virtual disk", {kRecordVirtualDisk, L""}, {L"Uninstalling virtual disk\n"}, nullptr, nullptr},
        {"service", {kRecordService, L"CorvaneAgent"}, {L"Uninstalling service - CorvaneAgent\n"},
         [](Machine& m) { m.pc.services.Put({L"CorvaneAgent", L"d", L"C:\\a.exe"}); },
         [](Machine& m) { EXPECT_EQ(m.pc.services.Get(L"CorvaneAgent"), nullptr); }},
        {"execute", {kRecordExecute, L"\"C:\\I\\redis-server.exe\" --service-uninstall"},
         {L"Executing application - \"C:\\I\\redis-server.exe\" --service-uninstall\n",
          L"\"C:\\I\\redis-server.exe\" --service-uninstall\n"},
         nullptr,
         [](Machine& m) {
             ASSERT_EQ(m.pc.processes.launched.size(), 1u);
             EXPECT_EQ(m.pc.processes.launched[0].commandLine, L"\"C:\\I\\redis-server.exe\" --service-uninstall");
             EXPECT_EQ(m.pc.processes.launched[0].showState, 5);
             EXPECT_EQ(m.pc.processes.launched[0].waitMs, kWaitInfinite);
         }},
        {"profile section", {kRecordProfileSection, L"Old Section"}, {L"Removing registry section - Old Section\n"},
         [](Machine& m) { m.pc.registry.PutValue(kHkeyCurrentUser, L"Software\\Talvoric\\Install\\Old Section\\Deep", L"v", kRegDword, RegDwordBytes(1)); },
         [](Machine& m) {
             EXPECT_FALSE(m.pc.registry.Has(kHkeyCurrentUser, L"Software\\Talvoric\\Install\\Old Section"));
             EXPECT_TRUE(m.pc.registry.Has(kHkeyCurrentUser, L"Software\\Talvoric\\Install"));
         }},
        {"registry key", {kRecordRegistryKey, L"80000002\\SOFTWARE\\T\\K"}, {L"Deleting registry key - 80000002\\SOFTWARE\\T\\K\n"},
         [](Machine& m) { m.pc.registry.Put(kHkeyLocalMachine, L"SOFTWARE\\Wow6432Node\\T\\K"); m.pc.registry.Put(kHkeyLocalMachine, L"SOFTWARE\\T\\K"); },
         [](Machine& m) {
             EXPECT_FALSE(m.pc.registry.Has(kHkeyLocalMachine, L"SOFTWARE\\Wow6432Node\\T\\K"));
             EXPECT_TRUE(m.pc.registry.Has(kHkeyLocalMachine, L"SOFTWARE\\T\\K"));
         }},
        {"registry key, 64-bit", {kRecordRegistryKey64, L"80000002\\SOFTWARE\\T\\K"}, {L"Deleting registry key - 80000002\\SOFTWARE\\T\\K\n"},
         [](Machine& m) { m.pc.registry.Put(kHkeyLocalMachine, L"SOFTWARE\\Wow6432Node\\T\\K"); m.pc.registry.Put(kHkeyLocalMachine, L"SOFTWARE\\T\\K"); },
         [](Machine& m) {
             EXPECT_TRUE(m.pc.registry.Has(kHkeyLocalMachine, L"SOFTWARE\\Wow6432Node\\T\\K"));
             EXPECT_FALSE(m.pc.registry.Has(kHkeyLocalMachine, L"SOFTWARE\\T\\K"));
         }},
        {"key directly under the root", {kRecordRegistryKey, L"80000001\\Top"}, {L"Deleting registry key - 80000001\\Top\n"},
         [](Machine& m) { m.pc.registry.Put(kHkeyCurrentUser, L"Top"); },
         [](Machine& m) { EXPECT_FALSE(m.pc.registry.Has(kHkeyCurrentUser, L"Top")); }},
        {"registry value", {kRecordRegistryValue, L"80000002\\SOFTWARE\\T\\Run"}, {L"Deleting registry value - 80000002\\SOFTWARE\\T\\Run\n"},
         [](Machine& m) { m.pc.registry.PutValue(kHkeyLocalMachine, L"SOFTWARE\\Wow6432Node\\T", L"Run", kRegSz, RegStringBytes(L"x")); },
         [](Machine& m) {
             EXPECT_FALSE(m.pc.registry.HasValue(kHkeyLocalMachine, L"SOFTWARE\\Wow6432Node\\T", L"Run"));
             EXPECT_TRUE(m.pc.registry.Has(kHkeyLocalMachine, L"SOFTWARE\\Wow6432Node\\T"));
         }},
        {"default value, 64-bit", {kRecordRegistryValue64, L"80000000\\CLSID\\{x}\\"}, {L"Deleting registry value - 80000000\\CLSID\\{x}\\\n"},
         [](Machine& m) { m.pc.registry.PutValue(kHkeyClassesRoot, L"CLSID\\{x}", L"", kRegSz, RegStringBytes(L"x")); },
         [](Machine& m) { EXPECT_FALSE(m.pc.registry.HasValue(kHkeyClassesRoot, L"CLSID\\{x}", L"")); }},
        {"none", {kRecordNone, L"whatever"}, {}, nullptr, nullptr},
        {"drive list", {kRecordDriveList, L""}, {L"Calling NoDrivesUpdate\n"}, nullptr, nullptr},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        Machine m;
        if (c.arrange) c.arrange(m);
        EXPECT_TRUE(ReplayRecord(c.record, m.writers, m.context));
        EXPECT_EQ(m.log.lines, c.lines);
        EXPECT_TRUE(m.pc.files.pendingDeletes.empty());
        EXPECT_EQ(m.logDiscard, 1);
        if (c.verify) c.verify(m);
    }
}

TEST(Replay, HelperLibraryKindsCallTheirHooks) {
    Machine m;
    std::vector<std::wstring> calls;
    m.context.uninstallCorvane = [&](std::wstring&) { calls.push_back(L"UninstallCorvane"); return true; };
    m.context.firewallRemoveApp = [&](const std::wstring& t) { calls.push_back(L"FirewallRemoveApp " + t); return true; };
    m.context.noDrivesUpdate = [&] { calls.push_back(L"NoDrivesUpdate"); };
    m.context.uninstallNetworkFilter = [&](uint32_t&) { calls.push_back(L"IGR_UninstallDriver"); return NetworkFilterResult::Done; };
    for (uint8_t kind : {kRecordCore, kRecordFirewall, kRecordDriveList, kRecordNetworkFilter})
        EXPECT_TRUE(ReplayRecord({kind, kind == kRecordFirewall ? L"C:\\I\\Corvane.exe" : L""}, m.writers, m.context));
    EXPECT_EQ(calls, (std::vector<std::wstring>{L"UninstallCorvane", L"FirewallRemoveApp C:\\I\\Corvane.exe",
                                                L"NoDrivesUpdate", L"IGR_UninstallDriver"}));
    EXPECT_EQ(m.log.lines, (std::vector<std::wstring>{L"Uninstalling corvane\n", L"Removing firewall - C:\\I\\Corvane.exe\n",
                                                      L"Calling NoDrivesUpdate\n"}));
}

TEST(Replay, VirtualDiskAndCoreDoNothingInUninstallMode) {
    for (bool uninstallMode : {false, true}) {
        SCOPED_TRACE(uninstallMode ? "uninstall" : "rollback");
        Machine m;
        m.context.uninstallMode = uninstallMode;
        int coreCalls = 0;
        m.context.uninstallCorvane = [&](std::wstring&) { ++coreCalls; return true; };
        EXPECT_TRUE(ReplayRecord({kRecordVirtualDisk, L""}, m.writers, m.context));
        EXPECT_TRUE(ReplayRecord({kRecordCore, L""}, m.writers, m.context));
        EXPECT_EQ(coreCalls, uninstallMode ? 0 : 1);
        EXPECT_EQ(m.log.lines.size(), uninstallMode ? 0u : 2u);
    }
}

TEST(Replay, FilesThatWaitForTheRestartAskForOneOnlyInsideTheInstallFolder) {
    struct Case {
        const char* name;
        std::wstring path;
        int linkEx;
        bool locked;
        int reboot;
    } cases[] = {
        {"deleted at once", kInstall + L"\\a.dll", 0, false, 0},
        {"locked, inside", kInstall + L"\\a.dll", 0, true, 1},
        {"locked, outside", L"C:\\Windows\\a.dll", 0, true, 0},
        {"LinkEx, inside", kInstall + L"\\a.dll", 1, false, 1},
        {"case differs from the install folder", L"C:\\PROGRAM FILES (X86)\\Talvoric\\HDD Corvane 9\\a.dll", 0, true, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Machine m;
        m.context.linkEx = c.linkEx;
        m.pc.files.PutFile(c.path);
        if (c.locked) m.pc.files.Lock(c.path);
        EXPECT_TRUE(ReplayRecord({kRecordFile, c.path}, m.writers, m.context));
        EXPECT_EQ(m.reboot, c.reboot);
        bool delayed = c.locked || c.linkEx;
        EXPECT_EQ(m.pc.files.pendingDeletes, delayed ? std::vector<std::wstring>{c.path} : std::vector<std::wstring>{});
        EXPECT_EQ(m.pc.files.HasFile(c.path), delayed);
    }
}

TEST(Replay, FoldersThatCannotGoNowAreLeftToTheRestart) {
    Machine m;
    m.pc.files.PutFile(L"C:\\A\\busy.txt");
    EXPECT_TRUE(ReplayRecord({kRecordFolder, L"C:\\A"}, m.writers, m.context));
    EXPECT_EQ(m.pc.files.pendingDeletes, (std::vector<std::wstring>{L"C:\\A"}));

    Machine linkEx;
    linkEx.context.linkEx = 1;
    linkEx.pc.files.PutFolder(L"C:\\B");
    EXPECT_TRUE(ReplayRecord({kRecordFolder, L"C:\\B"}, linkEx.writers, linkEx.context));
    EXPECT_TRUE(linkEx.pc.files.HasFolder(L"C:\\B"));  // LinkEx removes it at the restart
    EXPECT_EQ(linkEx.pc.files.pendingDeletes, (std::vector<std::wstring>{L"C:\\B"}));
}

TEST(Replay, APathAlreadyGoneIsDoneWithoutARestart) {
    Machine m;
    EXPECT_TRUE(ReplayRecord({kRecordFile, kInstall + L"\\gone.dll"}, m.writers, m.context));
    EXPECT_TRUE(ReplayRecord({kRecordFolder, kInstall + L"\\gone"}, m.writers, m.context));
    EXPECT_TRUE(m.pc.files.pendingDeletes.empty());
    EXPECT_EQ(m.reboot, 0);
}

TEST(Replay, FailuresLogTheSystemTextAndKeepTheLogOutsideUninstall) {
    struct Case {
        const char* name;
        bool uninstallMode;
        UninstallRecord record;
        std::wstring lastLine;
        int logDiscard;
    } cases[] = {
        {"missing service, rollback", false, {kRecordService, L"Nope"},
         L"The specified service does not exist as an installed service.\r\n", 0},
        {"missing service, uninstall", true, {kRecordService, L"Nope"},
         L"The specified service does not exist as an installed service.\r\n", 1},
        {"registry text without backslash", false, {kRecordRegistryKey, L"80000002"}, L"The parameter is incorrect.\r\n", 0},
        {"value text without backslash", false, {kRecordRegistryValue64, L"junk"}, L"The parameter is incorrect.\r\n", 0},
        {"missing key", false, {kRecordRegistryKey, L"80000002\\SOFTWARE\\None"},
         L"The system cannot find the file specified.\r\n", 0},
        {"kind from a later version", false, {42, L"C:\\Windows"}, L"The parameter is incorrect.\r\n", 0},
        {"network filter without its module", false, {kRecordNetworkFilter, L""}, L"The specified module could not be found.\r\n", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Machine m;
        m.context.uninstallMode = c.uninstallMode;
        EXPECT_FALSE(ReplayRecord(c.record, m.writers, m.context));
        ASSERT_FALSE(m.log.lines.empty());
        EXPECT_EQ(m.log.lines.back(), c.lastLine);
        EXPECT_EQ(m.logDiscard, c.logDiscard);
    }
}

TEST(Replay, LibraryMessageIsLoggedInsteadOfTheSystemText) {
    Machine m;
    m.context.uninstallCorvane = [](std::wstring& message) { message = L"driver busy"; return false; };
    m.context.uninstallNetworkFilter = [](uint32_t& error) { error = kErrorProcNotFound; return NetworkFilterResult::NoExport; };
    EXPECT_FALSE(ReplayRecord({kRecordCore, L""}, m.writers, m.context));
    EXPECT_EQ(m.log.lines.back(), L"driver busy\n");
    EXPECT_FALSE(ReplayRecord({kRecordNetworkFilter, L""}, m.writers, m.context));
    EXPECT_TRUE(m.log.Contains(L"Failed to get procedure address in UninstallNetworkFilter : 127\n"));
}

TEST(Replay, UnknownKindTouchesNothing) {
    Machine m;
    m.pc.files.PutFile(L"C:\\keep.txt");
    const std::wstring before = m.pc.Snapshot();
    for (int kind : {18, 99, 255}) EXPECT_FALSE(ReplayRecord({static_cast<uint8_t>(kind), L"C:\\keep.txt"}, m.writers, m.context));
    EXPECT_EQ(m.pc.Snapshot(), before);
    EXPECT_TRUE(m.log.Contains(L"Unknown record kind 18 - C:\\keep.txt\n"));
}

TEST(Replay, ProductFlagClearsTheBitAndTheProfileSection) {
    Machine m;
    m.context.installedProducts = [] { return 0x5u; };
    m.pc.registry.PutValue(kHkeyCurrentUser, L"Software\\Talvoric\\Install\\HDD Corvane 9", L"ProductType", kRegDword, RegDwordBytes(5));
    EXPECT_TRUE(ReplayRecord({kRecordProductFlag, L"00000004"}, m.writers, m.context));
    EXPECT_EQ(m.log.lines.front(), L"Remove product flag - 0x00000004\n");
    EXPECT_FALSE(m.pc.registry.Has(kHkeyCurrentUser, L"Software\\Talvoric\\Install"));  // no sections left
    uint32_t type = 0;
    std::vector<uint8_t> data;
    ASSERT_EQ(m.pc.registry.QueryValue(kHkeyLocalMachine, L"Software\\Talvoric\\Install\\HDD Corvane 9", false,
                                       L"ProductType", type, data), 0u);
    EXPECT_EQ(data, RegDwordBytes(1));
    EXPECT_TRUE(m.records.empty());  // written without records

    // Another section of the profile keeps the profile key.
    Machine other;
    other.pc.registry.Put(kHkeyCurrentUser, L"Software\\Talvoric\\Install\\HDD Corvane 9");
    other.pc.registry.Put(kHkeyCurrentUser, L"Software\\Talvoric\\Install\\Something Else");
    EXPECT_TRUE(ReplayRecord({kRecordProductFlag, L"1"}, other.writers, other.context));
    EXPECT_TRUE(other.pc.registry.Has(kHkeyCurrentUser, L"Software\\Talvoric\\Install\\Something Else"));
}

// What the install sequence does, in its order: folders, files, keys, values, the service, a
// shortcut. Everything it records is undone newest first.
void InstallSomething(Machine& m) {
    auto& w = m.writers;
    ASSERT_TRUE(w.CreateFolderTree(kInstall, false));
    ASSERT_TRUE(w.CopyPackageFile(L"\\Corvane.exe", L"C:\\Pkg\\Client", kInstall, false, true));
    ASSERT_TRUE(w.CopyPackageFile(L"\\redis\\redis-server.exe", L"C:\\Pkg\\Client", kInstall, false, true));
    ASSERT_TRUE(w.CreateRegistryKey(kHkeyLocalMachine, L"SOFTWARE\\Talvoric\\HDD Corvane 9\\Options", true, false));
    ASSERT_TRUE(w.SetRegistryString(L"Install Path", L"SOFTWARE\\Talvoric\\HDD Corvane 9", kInstall, kHkeyLocalMachine, false));
    ASSERT_TRUE(w.CreateRegistryKey(kHkeyLocalMachine, L"SOFTWARE\\Talvoric\\Cred", true, true));
    ASSERT_TRUE(w.SetRegistryString(L"", L"SOFTWARE\\Talvoric\\Cred", L"PeCredProv", kHkeyLocalMachine, true));
    ASSERT_TRUE(w.CreateAgentService(kInstall + L"\\CorvaneAgent.exe"));
    ASSERT_TRUE(w.CreateFolderTree(L"C:\\Users\\Public\\Desktop", false));
    ASSERT_EQ(w.CreateShortcut(L"C:\\Users\\Public\\Desktop\\HDD Corvane 9.lnk", kInstall + L"\\Corvane.exe", L"",
                               L"HDD Corvane 9", kInstall, kInstall + L"\\Corvane.exe"), 0);
}

void PreparePackage(Machine& m) {
    m.pc.files.PutFile(L"C:\\Pkg\\Client\\Corvane.exe", {'M', 'Z'});
    m.pc.files.PutFile(L"C:\\Pkg\\Client\\redis\\redis-server.exe", {'M', 'Z', 1});
    m.pc.files.PutFolder(L"C:\\Program Files (x86)");
    m.pc.files.PutFolder(L"C:\\Users\\Public");
    m.pc.registry.Put(kHkeyLocalMachine, L"SOFTWARE\\Wow6432Node");
}

TEST(ReplayOrder, UninstallFromTheFileRemovesValuesAndFilesBeforeTheirKeysAndFolders) {
    Machine m;
    PreparePackage(m);
    const std::wstring before = m.pc.Snapshot();
    InstallSomething(m);

    m.pc.files.PutFolder(L"C:\\Rec");
    WriteRecordFile(m.pc.files, L"C:\\Rec\\Uninst.lst", m.records);
    UninstallRecordList fromFile;
    ReadRecordFile(m.pc.files, L"C:\\Rec\\Uninst.lst", fromFile);
    m.pc.files.RemoveFile(L"C:\\Rec\\Uninst.lst");
    m.pc.files.RemoveFolder(L"C:\\Rec");

    m.context.uninstallMode = true;
    const size_t from = m.log.lines.size();
    ReplayInOrder(fromFile, m.writers, m.context);
    EXPECT_EQ(m.pc.Snapshot(), before);

    // Each undo line comes after the undo lines of everything beneath it.
    auto lines = m.LinesSince(from);
    auto at = [&](const std::wstring& line) {
        auto it = std::find(lines.begin(), lines.end(), line);
        EXPECT_NE(it, lines.end()) << std::string(line.begin(), line.end());
        return it - lines.begin();
    };
    EXPECT_LT(at(L"Deleting file - " + kInstall + L"\\Corvane.exe\n"), at(L"Removing directory - " + kInstall + L"\n"));
    EXPECT_LT(at(L"Deleting file - " + kInstall + L"\\redis\\redis-server.exe\n"),
              at(L"Removing directory - " + kInstall + L"\\redis\n"));
    EXPECT_LT(at(L"Deleting registry value - 80000002\\SOFTWARE\\Talvoric\\HDD Corvane 9\\Install Path\n"),
              at(L"Deleting registry key - 80000002\\SOFTWARE\\Talvoric\\HDD Corvane 9\n"));
    EXPECT_LT(at(L"Deleting registry key - 80000002\\SOFTWARE\\Talvoric\\HDD Corvane 9\\Options\n"),
              at(L"Deleting registry key - 80000002\\SOFTWARE\\Talvoric\\HDD Corvane 9\n"));
    EXPECT_LT(at(L"Deleting registry value - 80000002\\SOFTWARE\\Talvoric\\Cred\\\n"),
              at(L"Deleting registry key - 80000002\\SOFTWARE\\Talvoric\\Cred\n"));
    EXPECT_EQ(m.logDiscard, 1);  // nothing failed
}

TEST(ReplayOrder, RollbackUndoesTheListNewestFirstAndEmptiesIt) {
    Machine m;
    PreparePackage(m);
    const std::wstring before = m.pc.Snapshot();
    InstallSomething(m);
    ASSERT_FALSE(m.records.empty());
    Rollback(m.records, m.writers, m.context);
    EXPECT_TRUE(m.records.empty());
    EXPECT_EQ(m.pc.Snapshot(), before);
    EXPECT_EQ(m.logDiscard, 1);
    EXPECT_EQ(m.reboot, 0);
}

}  // namespace
}  // namespace install
