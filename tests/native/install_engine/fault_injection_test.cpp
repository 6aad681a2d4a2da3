// Every platform call that the writers make during an install is made to fail in turn; the
// rollback of what was recorded up to that point must leave the machine exactly as it was.
#include <gtest/gtest.h>

#include <functional>
#include <iostream>

#include "tests/native/install_engine/EngineFixture.h"

namespace install {
namespace {

using namespace platform;
using testing::Machine;

const std::wstring kInstall = L"C:\\Program Files (x86)\\Talvoric\\HDD Corvane 9";

void PrepareMachine(Machine& m) {
    m.pc.files.PutFile(L"C:\\Pkg\\Client\\Corvane.exe", {'M', 'Z'});
    m.pc.files.PutFile(L"C:\\Pkg\\Client\\corvane.dll", {'M', 'Z', 2});
    m.pc.files.PutFile(L"C:\\Pkg\\Client\\redis\\redis-server.exe", {'M', 'Z', 3});
    m.pc.files.PutFile(L"C:\\Pkg\\System\\64\\cvfilter.sys", {'M', 'Z', 4});
    m.pc.files.PutFolder(L"C:\\Program Files (x86)");
    m.pc.files.PutFolder(L"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs");
    m.pc.files.PutFile(L"C:\\Windows\\System32\\drivers\\existing.sys", {9});
    m.pc.registry.Put(kHkeyLocalMachine, L"SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run");
    m.pc.registry.Put(kHkeyLocalMachine, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion");
}

// The install's writers in its order. A writer that fails ends the run, as the install step's
// error does; CopyPackageTree goes on past its own errors, as it does in the product.
bool RunInstallWriters(Machine& m) {
    auto& w = m.writers;
    const std::wstring menu = L"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\HDD Corvane 9";
    const std::vector<std::function<bool()>> steps = {
        [&] { return w.CreateFolderTree(kInstall, false); },
        [&] { w.CopyPackageTree(L"C:\\Pkg\\Client", kInstall, false, true); return true; },
        [&] { return w.CopyPackageFile(L"\\cvfilter.sys", L"C:\\Pkg\\System\\64", L"C:\\Windows\\System32\\drivers", true, true); },
        [&] { return w.CreateRegistryKey(kHkeyLocalMachine, L"SOFTWARE\\Talvoric\\HDD Corvane 9", true, false); },
        [&] { return w.SetRegistryString(L"Install Path", L"SOFTWARE\\Talvoric\\HDD Corvane 9", kInstall, kHkeyLocalMachine, false); },
        [&] { return w.SetRegistryDword(L"Options", L"SOFTWARE\\Talvoric\\HDD Corvane 9", 3, true); },
        [&] { return w.SetRegistryString(L"Corvane", L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", L"\"" + kInstall + L"\\Corvane.exe\"", kHkeyLocalMachine, false); },
        [&] { return w.CreateRegistryKey(kHkeyLocalMachine, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon\\Corvane", true, true); },
        [&] { return w.SetRegistryString(L"Enabled", L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon\\Corvane", L"1", kHkeyLocalMachine, true); },
        [&] { return w.AgentServiceExists() || w.CreateAgentService(kInstall + L"\\CorvaneAgent.exe"); },
        [&] { return w.CreateFolderTree(menu, false); },
        [&] { return w.CreateShortcut(menu + L"\\HDD Corvane 9.lnk", kInstall + L"\\Corvane.exe", L"", L"HDD Corvane 9", kInstall, kInstall + L"\\Corvane.exe") >= 0; },
    };
    for (const auto& step : steps)
        if (!step()) return false;
    return true;
}

TEST(FaultInjection, RollbackAfterAnyFailingCallRestoresTheMachine) {
    int faultPoints = 0;
    std::wstring installed;
    {
        Machine clean;
        PrepareMachine(clean);
        const std::wstring before = clean.pc.Snapshot();
        int start = clean.pc.faults.TotalCalls();
        ASSERT_TRUE(RunInstallWriters(clean));
        faultPoints = clean.pc.faults.TotalCalls() - start;
        installed = clean.pc.Snapshot();
        ASSERT_NE(installed, before);
        Rollback(clean.records, clean.writers, clean.context);
        ASSERT_EQ(clean.pc.Snapshot(), before);
    }
    ASSERT_GT(faultPoints, 0);
    std::cout << "[ fault points ] " << faultPoints << " calls, each failed in turn with each of 3 errors\n";

    for (uint32_t error : {kErrorAccessDenied, kErrorPathNotFound, kErrorAlreadyExists}) {
        for (int n = 1; n <= faultPoints; ++n) {
            SCOPED_TRACE("error " + std::to_string(error) + ", failing call " + std::to_string(n));
            Machine m;
            PrepareMachine(m);
            const std::wstring before = m.pc.Snapshot();
            m.pc.faults.FailNthOfAny(n, error);
            bool finished = RunInstallWriters(m);
            ASSERT_GE(m.pc.faults.TotalCalls(), n);  // the fault was reached
            Rollback(m.records, m.writers, m.context);
            EXPECT_TRUE(m.records.empty());
            EXPECT_EQ(m.pc.Snapshot(), before) << "run " << (finished ? "finished" : "stopped");
            EXPECT_EQ(m.reboot, 0);
        }
    }
}

}  // namespace
}  // namespace install
