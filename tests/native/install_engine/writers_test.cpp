#include <gtest/gtest.h>

#include "tests/native/install_engine/EngineFixture.h"

namespace install {
namespace {

using namespace platform;
using testing::Machine;

const std::wstring kInstall = L"C:\\Program Files (x86)\\Talvoric\\HDD Corvane 9";

TEST(CreateFolderTree, RecordsOnlyFoldersItCreatedParentsFirst) {
    Machine m;
    m.pc.files.PutFolder(L"C:\\Program Files (x86)");
    m.pc.errors.SetLast(0xdeadbeef);
    ASSERT_TRUE(m.writers.CreateFolderTree(kInstall + L"\\Sub\\", false));
    EXPECT_EQ(m.pc.errors.Last(), 0u);
    EXPECT_EQ(m.records, (UninstallRecordList{{kRecordFolder, L"C:\\Program Files (x86)\\Talvoric"},
                                              {kRecordFolder, kInstall},
                                              {kRecordFolder, kInstall + L"\\Sub"}}));
    EXPECT_EQ(m.log.lines, (std::vector<std::wstring>{L"Create directory - C:\\Program Files (x86)\\Talvoric\n",
                                                      L"Create directory - " + kInstall + L"\n",
                                                      L"Create directory - " + kInstall + L"\\Sub\n"}));

    // Again: everything exists, success without records.
    m.records.clear();
    m.pc.errors.SetLast(0xdeadbeef);
    EXPECT_TRUE(m.writers.CreateFolderTree(kInstall, false));
    EXPECT_EQ(m.pc.errors.Last(), 0u);
    EXPECT_TRUE(m.records.empty());
}

TEST(CreateFolderTree, FailuresKeepTheirError) {
    struct Case {
        const char* name;
        std::wstring path;
        const char* failing;
        uint32_t expected;
    } cases[] = {
        {"relative name without a parent", L"NoDrive", nullptr, kErrorInvalidParameter},
        {"access denied", L"C:\\Denied\\Deeper", "CreateDirectory", kErrorAccessDenied},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Machine m;
        if (c.failing) m.pc.faults.FailAlways(c.failing, c.expected);
        EXPECT_FALSE(m.writers.CreateFolderTree(c.path, false));
        EXPECT_EQ(m.pc.errors.Last(), c.expected);
        EXPECT_TRUE(m.records.empty());
    }
}

TEST(CreateFolderTree, WideFolderUnderSystem32IsMadeThereWithRedirectionOff) {
    Machine m;
    ASSERT_TRUE(m.writers.CreateFolderTree(L"C:\\Windows\\System32\\Corvane\\Drivers", true));
    EXPECT_TRUE(m.pc.files.HasFolder(L"C:\\Windows\\System32\\Corvane\\Drivers"));
    EXPECT_FALSE(m.pc.files.HasFolder(L"C:\\Windows\\SysWOW64\\Corvane"));
    EXPECT_FALSE(m.pc.files.RedirectionDisabled());
    EXPECT_EQ(m.records, (UninstallRecordList{{kRecordFolderNoRedirect, L"C:\\Windows\\System32\\Corvane"},
                                              {kRecordFolderNoRedirect, L"C:\\Windows\\System32\\Corvane\\Drivers"}}));
    // Without the flag a 32-bit installer lands in SysWOW64, as Windows redirects it.
    ASSERT_TRUE(m.writers.CreateFolderTree(L"C:\\Windows\\System32\\Corvane32", false));
    EXPECT_TRUE(m.pc.files.HasFolder(L"C:\\Windows\\SysWOW64\\Corvane32"));
}

TEST(CopyPackageFile, CopiesToTheSameRelativePlaceAndRecordsWhenAsked) {
    struct Case {
        const char* name;
        bool wide, record;
        std::wstring destination;
        std::vector<UninstallRecord> expected;
    } cases[] = {
        {"recorded", false, true, kInstall, {{kRecordFolder, kInstall + L"\\bin"}, {kRecordFile, kInstall + L"\\bin\\a.dll"}}},
        {"not recorded", false, false, kInstall, {{kRecordFolder, kInstall + L"\\bin"}}},
        {"64-bit system folder", true, true, L"C:\\Windows\\System32",
         {{kRecordFolderNoRedirect, L"C:\\Windows\\System32\\bin"}, {kRecordFileNoRedirect, L"C:\\Windows\\System32\\bin\\a.dll"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Machine m;
        m.pc.files.PutFile(L"C:\\Pkg\\bin\\a.dll", {1, 2, 3});
        m.pc.files.PutFolder(c.destination);
        ASSERT_TRUE(m.writers.CopyPackageFile(L"\\bin\\a.dll", L"C:\\Pkg", c.destination, c.wide, c.record));
        EXPECT_EQ(m.records, c.expected);
        EXPECT_EQ(m.pc.files.Contents(c.destination + L"\\bin\\a.dll"), (std::vector<uint8_t>{1, 2, 3}));
        EXPECT_TRUE(m.log.Contains(L"Copy file - " + c.destination + L"\\bin\\a.dll\n"));
    }
}

TEST(CopyPackageFile, RejectsPathsWithoutBackslashAndReportsMissingSource) {
    Machine m;
    m.pc.files.PutFolder(kInstall);
    EXPECT_FALSE(m.writers.CopyPackageFile(L"a.dll", L"C:\\Pkg", kInstall, false, true));
    EXPECT_EQ(m.pc.errors.Last(), kErrorInvalidParameter);
    EXPECT_FALSE(m.writers.CopyPackageFile(L"\\missing.dll", L"C:\\Pkg", kInstall, false, true));
    EXPECT_EQ(m.pc.errors.Last(), kErrorFileNotFound);
    EXPECT_TRUE(m.records.empty());
}

TEST(CopyPackageTree, CopiesEveryFileAndGoesOnPastErrors) {
    Machine m;
    m.pc.files.PutFile(L"C:\\Pkg\\Client\\one.exe", {1});
    m.pc.files.PutFile(L"C:\\Pkg\\Client\\sub\\two.dll", {2});
    m.pc.files.PutFile(L"C:\\Pkg\\Client\\three.txt", {3});
    m.pc.files.PutFolder(kInstall);
    m.pc.faults.FailNth("CopyFile", 1, kErrorSharingViolation);  // the first file fails
    m.writers.CopyPackageTree(L"C:\\Pkg\\Client", kInstall, false, true);
    EXPECT_FALSE(m.pc.files.HasFile(kInstall + L"\\one.exe"));  // entries come sorted: this was the first copy
    EXPECT_TRUE(m.pc.files.HasFile(kInstall + L"\\three.txt"));
    EXPECT_TRUE(m.pc.files.HasFile(kInstall + L"\\sub\\two.dll"));
    for (const auto& r : m.records) EXPECT_TRUE(r.kind == kRecordFile || r.kind == kRecordFolder);
}

TEST(CreateRegistryKey, RecordsOnlyTheNewDeeperKeysWithTheirRootInHex) {
    struct Case {
        const char* name;
        RegRoot root;
        bool wide;
        std::vector<UninstallRecord> expected;
    } cases[] = {
        {"HKLM 32-bit", kHkeyLocalMachine, false,
         {{kRecordRegistryKey, L"80000002\\SOFTWARE\\Talvoric\\HDD Corvane 9"},
          {kRecordRegistryKey, L"80000002\\SOFTWARE\\Talvoric\\HDD Corvane 9\\Options"}}},
        {"HKLM 64-bit", kHkeyLocalMachine, true,
         {{kRecordRegistryKey64, L"80000002\\SOFTWARE\\Talvoric\\HDD Corvane 9"},
          {kRecordRegistryKey64, L"80000002\\SOFTWARE\\Talvoric\\HDD Corvane 9\\Options"}}},
        {"HKCR", kHkeyClassesRoot, false,
         {{kRecordRegistryKey, L"80000000\\SOFTWARE\\Talvoric\\HDD Corvane 9"},
          {kRecordRegistryKey, L"80000000\\SOFTWARE\\Talvoric\\HDD Corvane 9\\Options"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Machine m;
        // The first two components exist in every view.
        m.pc.registry.Put(c.root, L"SOFTWARE\\Talvoric");
        m.pc.registry.Put(c.root, L"SOFTWARE\\Wow6432Node\\Talvoric");
        m.pc.errors.SetLast(0xdeadbeef);
        ASSERT_TRUE(m.writers.CreateRegistryKey(c.root, L"SOFTWARE\\Talvoric\\HDD Corvane 9\\Options", true, c.wide));
        EXPECT_EQ(m.pc.errors.Last(), 0u);
        EXPECT_EQ(m.records, c.expected);
        EXPECT_EQ(m.log.lines.size(), c.expected.size());
        for (size_t i = 0; i < c.expected.size(); ++i)
            EXPECT_EQ(m.log.lines[i], L"Create registry key - " + c.expected[i].text + L"\n");
    }
    Machine m;
    ASSERT_TRUE(m.writers.CreateRegistryKey(kHkeyLocalMachine, L"SOFTWARE\\Talvoric\\Both", false, false));
    EXPECT_TRUE(m.records.empty());  // not asked to record
    EXPECT_TRUE(m.pc.registry.Has(kHkeyLocalMachine, L"SOFTWARE\\Wow6432Node\\Talvoric\\Both"));
    EXPECT_FALSE(m.pc.registry.Has(kHkeyLocalMachine, L"SOFTWARE\\Talvoric\\Both"));
}

TEST(CreateRegistryKey, StopsAtTheFirstErrorWithWhatItMadeRecorded) {
    Machine m;
    m.pc.faults.FailNth("RegCreateKeyEx", 3, kErrorAccessDenied);
    EXPECT_FALSE(m.writers.CreateRegistryKey(kHkeyCurrentUser, L"Software\\Talvoric\\Deny\\Deeper", true, false));
    EXPECT_EQ(m.pc.errors.Last(), kErrorAccessDenied);
    EXPECT_EQ(m.records, (UninstallRecordList{{kRecordRegistryKey, L"80000001\\Software"},
                                              {kRecordRegistryKey, L"80000001\\Software\\Talvoric"}}));
}

TEST(SetRegistryValue, WritesIntoExistingKeysOnlyAndRecordsRootKeyAndName) {
    Machine m;
    EXPECT_FALSE(m.writers.SetRegistryString(L"Path", L"SOFTWARE\\Missing", L"x", kHkeyLocalMachine, false));
    EXPECT_EQ(m.pc.errors.Last(), kErrorFileNotFound);
    EXPECT_FALSE(m.pc.registry.Has(kHkeyLocalMachine, L"SOFTWARE\\Wow6432Node\\Missing"));
    EXPECT_TRUE(m.records.empty());

    m.pc.registry.Put(kHkeyLocalMachine, L"SOFTWARE\\Wow6432Node\\Talvoric");
    m.pc.registry.Put(kHkeyLocalMachine, L"SOFTWARE\\Talvoric");
    ASSERT_TRUE(m.writers.SetRegistryString(L"Path", L"SOFTWARE\\Talvoric", L"C:\\가", kHkeyLocalMachine, false));
    ASSERT_TRUE(m.writers.SetRegistryString(L"", L"SOFTWARE\\Talvoric", L"default", kHkeyLocalMachine, true));
    ASSERT_TRUE(m.writers.SetRegistryDword(L"ProductType", L"SOFTWARE\\Talvoric", 5, false));
    EXPECT_EQ(m.records, (UninstallRecordList{{kRecordRegistryValue, L"80000002\\SOFTWARE\\Talvoric\\Path"},
                                              {kRecordRegistryValue64, L"80000002\\SOFTWARE\\Talvoric\\"}}));
    EXPECT_EQ(m.log.lines.back(), L"Set registry value - 80000002\\SOFTWARE\\Talvoric\\ProductType\n");

    uint32_t type = 0;
    std::vector<uint8_t> data;
    ASSERT_EQ(m.pc.registry.QueryValue(kHkeyLocalMachine, L"SOFTWARE\\Talvoric", false, L"Path", type, data), 0u);
    EXPECT_EQ(type, kRegSz);
    EXPECT_EQ(data, (std::vector<uint8_t>{'C', 0, ':', 0, '\\', 0, 0x00, 0xAC, 0, 0}));  // with its NUL
    ASSERT_EQ(m.pc.registry.QueryValue(kHkeyLocalMachine, L"SOFTWARE\\Talvoric", false, L"ProductType", type, data), 0u);
    EXPECT_EQ(type, kRegDword);
    EXPECT_EQ(data, (std::vector<uint8_t>{5, 0, 0, 0}));
    EXPECT_TRUE(m.pc.registry.HasValue(kHkeyLocalMachine, L"SOFTWARE\\Talvoric", L""));  // 64-bit view
}

TEST(DeleteRegistryRecords, RejectTextsThatNameNoKeyUnderAPredefinedRoot) {
    Machine m;
    for (const wchar_t* text : {L"", L"80000002", L"80000002\\", L"zz\\SOFTWARE\\X", L"00001234\\SOFTWARE\\X",
                                L"123456789\\SOFTWARE"}) {
        SCOPED_TRACE(std::string(text, text + std::wcslen(text)));
        m.pc.errors.SetLast(0xdeadbeef);
        EXPECT_FALSE(m.writers.DeleteRegistryKey(text, false));
        EXPECT_EQ(m.pc.errors.Last(), kErrorInvalidParameter);
    }
    EXPECT_FALSE(m.writers.DeleteRegistryValue(L"no backslash", false));
    EXPECT_EQ(m.pc.errors.Last(), kErrorInvalidParameter);

    m.pc.registry.Put(kHkeyLocalMachine, L"SOFTWARE\\Wow6432Node\\T\\Sub");
    EXPECT_FALSE(m.writers.DeleteRegistryKey(L"80000002\\SOFTWARE\\T", false));  // has a subkey
    EXPECT_EQ(m.pc.errors.Last(), kErrorAccessDenied);
    EXPECT_TRUE(m.writers.DeleteRegistryKey(L"80000002\\SOFTWARE\\T\\Sub", false));
    EXPECT_TRUE(m.writers.DeleteRegistryKey(L"80000002\\SOFTWARE\\T", false));
    EXPECT_FALSE(m.pc.registry.Has(kHkeyLocalMachine, L"SOFTWARE\\Wow6432Node\\T"));
}

TEST(CreateShortcut, SavesTheLinkAndRecordsItAsAFile) {
    Machine m;
    const std::wstring link = L"C:\\Users\\Public\\Desktop\\HDD Corvane 9.lnk";
    m.pc.files.PutFolder(L"C:\\Users\\Public\\Desktop");
    EXPECT_EQ(m.writers.CreateShortcut(link, kInstall + L"\\Corvane.exe", L"", L"HDD Corvane 9", kInstall,
                                       kInstall + L"\\Corvane.exe"),
              0);
    EXPECT_EQ(m.records, (UninstallRecordList{{kRecordFile, link}}));
    EXPECT_EQ(m.log.lines, (std::vector<std::wstring>{L"Create file - " + link + L"\n"}));
    const auto& saved = m.pc.shell.links.at(platform::memory::FoldCase(link));
    EXPECT_EQ(saved.target, kInstall + L"\\Corvane.exe");
    EXPECT_EQ(saved.description, L"HDD Corvane 9");

    m.records.clear();
    EXPECT_LT(m.writers.CreateShortcut(L"C:\\NoFolder\\x.lnk", L"t", L"", L"", L"", L""), 0);
    EXPECT_TRUE(m.records.empty());
}

TEST(CreateAgentService, CreatesDescribesAndRecordsOnce) {
    Machine m;
    ASSERT_TRUE(m.writers.CreateAgentService(kInstall + L"\\CorvaneAgent.exe"));
    const auto* service = m.pc.services.Get(L"CorvaneAgent");
    ASSERT_NE(service, nullptr);
    EXPECT_EQ(service->spec.displayName, L"CorvaneAgentService");
    EXPECT_EQ(service->spec.binaryPath, kInstall + L"\\CorvaneAgent.exe");
    EXPECT_EQ(service->spec.startType, kServiceAutoStart);
    EXPECT_EQ(service->description, L"Talvoric HDD Corvane");
    EXPECT_EQ(m.records, (UninstallRecordList{{kRecordService, L"CorvaneAgent"}}));
    EXPECT_EQ(m.log.lines, (std::vector<std::wstring>{L"Create service - CorvaneAgent\n"}));
    EXPECT_TRUE(m.writers.AgentServiceExists());

    // Already there: success, last error 0, no second record.
    m.pc.errors.SetLast(0xdeadbeef);
    EXPECT_TRUE(m.writers.CreateAgentService(L"C:\\other.exe"));
    EXPECT_EQ(m.pc.errors.Last(), 0u);
    EXPECT_EQ(m.records.size(), 1u);
}

TEST(CreateAgentService, AServiceWhoseDescriptionFailedIsTakenBack) {
    Machine m;
    m.pc.faults.FailAlways("ChangeServiceConfig2", kErrorAccessDenied);
    EXPECT_FALSE(m.writers.CreateAgentService(L"C:\\a.exe"));
    EXPECT_EQ(m.pc.errors.Last(), kErrorAccessDenied);
    EXPECT_EQ(m.pc.services.Get(L"CorvaneAgent"), nullptr);
    EXPECT_TRUE(m.records.empty());
    m.pc.errors.SetLast(0xdeadbeef);
    EXPECT_FALSE(m.writers.AgentServiceExists());
    EXPECT_EQ(m.pc.errors.Last(), 0u);  // absent is not an error
}

TEST(ServiceByName, StartAndDeleteReportTheFailingCall) {
    Machine m;
    EXPECT_FALSE(m.writers.StartServiceByName(L"Nope"));
    EXPECT_EQ(m.pc.errors.Last(), kErrorServiceDoesNotExist);
    m.pc.services.Put({L"bvnc_service", L"bvnc", L"C:\\bvnc.exe"});
    EXPECT_TRUE(m.writers.StartServiceByName(L"bvnc_service"));
    EXPECT_TRUE(m.pc.services.Get(L"bvnc_service")->running);
    EXPECT_TRUE(m.writers.DeleteServiceByName(L"BVNC_SERVICE"));
    EXPECT_EQ(m.pc.errors.Last(), 0u);
    EXPECT_FALSE(m.writers.DeleteServiceByName(L"bvnc_service"));
    EXPECT_EQ(m.pc.errors.Last(), kErrorServiceDoesNotExist);
}

TEST(RunProgram, BuildsTheCommandLineLogsItAndReportsFailure) {
    Machine m;
    ASSERT_TRUE(m.writers.RunProgram(L"/d", kInstall + L"\\WAutoUpdate.exe", 5, kWaitInfinite));
    ASSERT_TRUE(m.writers.RunProgram(L"PowerCfg.exe -h off", L"", 0, 100));
    ASSERT_EQ(m.pc.processes.launched.size(), 2u);
    EXPECT_EQ(m.pc.processes.launched[0].commandLine, L"\"" + kInstall + L"\\WAutoUpdate.exe\" /d");
    EXPECT_EQ(m.pc.processes.launched[0].showState, 5);
    EXPECT_EQ(m.pc.processes.launched[0].waitMs, kWaitInfinite);
    EXPECT_EQ(m.pc.processes.launched[1].commandLine, L"PowerCfg.exe -h off");
    EXPECT_EQ(m.pc.processes.launched[1].waitMs, 100u);
    EXPECT_EQ(m.log.lines[1], L"PowerCfg.exe -h off\n");

    m.pc.faults.FailAlways("CreateProcess", kErrorFileNotFound);
    EXPECT_FALSE(m.writers.RunProgram(L"missing.exe", L"", 5, kWaitInfinite));
    EXPECT_EQ(m.pc.errors.Last(), kErrorFileNotFound);
    EXPECT_EQ(m.log.lines.back(), L"Failed with 2\n");
}

TEST(Processes, FindIgnoresCaseAndKillTreeNeverEndsTheInstaller) {
    Machine m;
    m.pc.processes.selfId = 0x40;
    m.pc.processes.running = {{0x10, 1, L"Corvane.exe"},
                              {0x20, 0x10, L"child.exe"},
                              {0x40, 0x10, L"Install.exe"},  // the installer, started by the target
                              {0x50, 1, L"other.exe"}};
    EXPECT_EQ(m.writers.FindProcessId(L"CORVANE.EXE"), 0x10u);
    EXPECT_EQ(m.log.lines, (std::vector<std::wstring>{L"Finding process ID for CORVANE.EXE\n",
                                                      L"CORVANE.EXE process ID : 00000010\n"}));
    EXPECT_EQ(m.writers.FindProcessId(L"absent.exe"), 0u);

    EXPECT_TRUE(m.writers.KillProcessTree(L"Corvane.exe"));
    EXPECT_EQ(m.pc.processes.terminated, (std::vector<uint32_t>{0x20, 0x10}));
    EXPECT_TRUE(m.log.Contains(L"Terminating process child.exe\n"));
    EXPECT_TRUE(m.log.Contains(L"Terminating process Corvane.exe\n"));

    // Asked to end a name the installer itself carries: it leaves itself alone.
    EXPECT_FALSE(m.writers.KillProcessTree(L"install.exe"));
    EXPECT_EQ(m.pc.processes.terminated.size(), 2u);
}

TEST(Processes, SnapshotAndTerminateFailuresAreLogged) {
    struct Case {
        const char* failing;
        const wchar_t* line;
    } cases[] = {
        {"CreateToolhelp32Snapshot", L"Failed to CreateToolhelp32Snapshot in GetProcessID : 5\n"},
        {"Process32First", L"Failed to Process32First in GetProcessID : 5\n"},
        {"OpenProcess", L"Failed to OpenProcess 0x00000010 : 5\n"},
        {"TerminateProcess", L"Failed to TerminateProcess 0x00000010 : 5\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failing);
        Machine m;
        m.pc.processes.running = {{0x10, 1, L"Corvane.exe"}};
        m.pc.faults.FailAlways(c.failing, kErrorAccessDenied);
        EXPECT_FALSE(m.writers.KillProcessTree(L"Corvane.exe"));
        EXPECT_TRUE(m.log.Contains(c.line));
        EXPECT_TRUE(m.pc.processes.terminated.empty());
    }
}

TEST(EnablePrivilege, ResultIsWhetherTheTokenOpenedAndFailuresAreLogged) {
    struct Case {
        const char* failing;
        bool result;
        const wchar_t* line;
    } cases[] = {
        {nullptr, true, nullptr},
        {"OpenProcessToken", false, L"Failed to OpenProcessToken : 5\n"},
        {"LookupPrivilegeValue", true, L"Failed to LookupPrivilegeValue : 5\n"},
        {"AdjustTokenPrivileges", true, L"Failed to AdjustTokenPrivileges : 5\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failing ? c.failing : "none");
        Machine m;
        if (c.failing) m.pc.faults.FailAlways(c.failing, kErrorAccessDenied);
        EXPECT_EQ(m.writers.EnablePrivilege(L"SeShutdownPrivilege"), c.result);
        EXPECT_EQ(m.pc.privileges.enabled.count(L"SeShutdownPrivilege"), c.failing ? 0u : 1u);
        std::vector<std::wstring> expected;
        if (c.line) expected.push_back(c.line);
        EXPECT_EQ(m.log.lines, expected);
    }
}

TEST(SmallHelpers, FileExistsAndInstallerFolder) {
    Machine m;
    m.pc.files.PutFile(L"C:\\Pkg\\Client\\Corvane.exe");
    EXPECT_TRUE(m.writers.FileExists(L"C:\\Pkg\\Client\\Corvane.exe"));
    EXPECT_TRUE(m.writers.FileExists(L"C:\\Pkg\\Client\\*.exe"));
    EXPECT_TRUE(m.writers.FileExists(L"C:\\Pkg"));
    EXPECT_FALSE(m.writers.FileExists(L"C:\\Pkg\\Client\\*.dll"));
    EXPECT_FALSE(m.writers.FileExists(L"C:\\Nowhere\\x"));
    m.pc.files.executablePath = L"D:\\Setup\\Install.exe";
    EXPECT_EQ(m.writers.InstallerFolder(), L"D:\\Setup");
}

}  // namespace
}  // namespace install

namespace install {
namespace {

TEST(Redirection, OnlyUnderWow64AndBackWhenReverted) {
    for (bool wow64 : {true, false}) {
        SCOPED_TRACE(wow64 ? "WOW64" : "plain 32-bit Windows");
        testing::Machine m;
        m.pc.machine.wow64 = wow64;
        EXPECT_EQ(m.writers.IsWow64(), wow64);
        EXPECT_EQ(m.writers.DisableRedirection(), wow64);
        m.pc.files.PutFolder(L"C:\\Windows\\System32\\real64");
        EXPECT_EQ(m.writers.FileExists(L"C:\\Windows\\System32\\real64"), true);
        m.writers.RevertRedirection();
        EXPECT_FALSE(m.pc.files.RedirectionDisabled());
        // With redirection back on, a 32-bit process under WOW64 no longer sees the 64-bit folder.
        EXPECT_EQ(m.writers.FileExists(L"C:\\Windows\\System32\\real64"), !wow64);
    }
}

}  // namespace
}  // namespace install
