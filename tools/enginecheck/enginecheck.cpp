// Console driver for the Wine tests of the installer engine: the writers, their rollback, shell
// links and the agent service, all through the real Windows adapters. Every step prints what it
// did and what it saw; the exit code is 0 when every check held.
//
//   enginecheck prepare <scratch>               package files under <scratch>\Pkg
//   enginecheck sequence <scratch> [steps]      the writers (all, or the first [steps]), then rollback
//   enginecheck install <scratch>               all the writers, then the record file <scratch>\Uninst.lst
//   enginecheck uninstall <scratch>             the record file replayed from its start
//   enginecheck shortcut <scratch>              CreateShortcut, resolve it, roll it back
//   enginecheck service <exe>                   CreateAgentService and what the manager lists
//   enginecheck service-remove                  replay of the service record
//   enginecheck processes <parent.exe> <child.exe>
//                                               RunProgram, FindProcessId, KillProcessTree, privileges
#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstdio>
#include <cwchar>
#include <functional>
#include <string>
#include <vector>

#include "install/engine/InstallWriters.h"
#include "install/engine/RecordReplay.h"
#include "platform/ports/TextCodec.h"
#include "platform/win32/ScopedWin.h"
#include "platform/win32/Win32InstallPorts.h"

namespace {

using namespace platform;
using namespace platform::win32;
using install::InstallWriters;
using install::UninstallRecordList;

void Print(const std::wstring& text) {
    std::string bytes = text::ToUtf8(text);
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    std::fflush(stdout);
}

class ConsoleLog : public ILog {
public:
    void WriteText(const std::wstring& text) override { Print(L"log: " + text); }
};

struct Engine {
    Win32Registry registry;
    Win32Services services;
    Win32Files files;
    Win32Processes processes;
    Win32Shell shell;
    Win32Privileges privileges;
    Win32SystemErrors errors;
    ConsoleLog log;
    UninstallRecordList records;
    install::InstallPorts ports{registry, services, files, processes, shell, privileges, errors, log};
    InstallWriters writers{ports, records};
    int reboot = 0;
    int logDiscard = 1;
    install::ReplayContext context;

    Engine() {
        context.reboot = &reboot;
        context.logDiscard = &logDiscard;
    }
};

int failures = 0;

void Check(bool ok, const std::wstring& what) {
    Print((ok ? L"ok: " : L"FAILED: ") + what + L"\n");
    if (!ok) ++failures;
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    ScopedHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD wrote = 0;
    return file && ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &wrote, nullptr);
}

int Prepare(const std::wstring& scratch) {
    const std::wstring pkg = scratch + L"\\Pkg";
    for (const auto& folder : {scratch, pkg, pkg + L"\\Client", pkg + L"\\Client\\redis", pkg + L"\\System",
                               pkg + L"\\System\\64"})
        ::CreateDirectoryW(folder.c_str(), nullptr);
    Check(WriteFileBytes(pkg + L"\\Client\\Corvane.exe", "MZ main program"), L"package file Corvane.exe");
    Check(WriteFileBytes(pkg + L"\\Client\\corvane.dll", "MZ core library"), L"package file corvane.dll");
    Check(WriteFileBytes(pkg + L"\\Client\\CorvaneAgent.exe", "MZ agent"), L"package file CorvaneAgent.exe");
    Check(WriteFileBytes(pkg + L"\\Client\\redis\\redis-server.exe", "MZ redis"), L"package file redis-server.exe");
    Check(WriteFileBytes(pkg + L"\\System\\64\\cvcheck.sys", "MZ 64-bit driver"), L"package file cvcheck.sys");
    return failures == 0 ? 0 : 1;
}

std::wstring Folder(Engine& e, int csidl) {
    std::wstring path;
    e.shell.FolderPath(csidl, path);
    return path;
}

void PrintRecords(const UninstallRecordList& records) {
    for (const auto& r : records) Print(L"record: " + std::to_wstring(r.kind) + L" " + r.text + L"\n");
}

// The install's writers in its order, through the real adapters: folders, files (one of them
// into the 64-bit system folder), keys and values in both registry views and HKCU, the Run value,
// the agent service, a start-menu folder and a shortcut. Runs the first `stepsToRun` (all when
// negative) and stops at the first failure, as an install step's error would.
int RunWriters(Engine& e, const std::wstring& scratch, int stepsToRun) {
    auto& w = e.writers;
    const std::wstring pkg = scratch + L"\\Pkg";
    const std::wstring install = Folder(e, CSIDL_PROGRAM_FILES) + L"\\Talvoric\\EngineCheck";
    const std::wstring menu = Folder(e, CSIDL_COMMON_PROGRAMS) + L"\\HDD Corvane Check";
    const std::wstring drivers = Folder(e, CSIDL_WINDOWS) + L"\\System32\\drivers\\CorvaneCheck";
    e.context.installFolder = install;
    Print(L"wow64: " + std::wstring(w.IsWow64() ? L"yes" : L"no") + L"\n");

    const std::vector<std::pair<const wchar_t*, std::function<bool()>>> steps = {
        {L"CreateFolderTree install folder", [&] { return w.CreateFolderTree(install, false); }},
        {L"CopyPackageTree Client", [&] { w.CopyPackageTree(pkg + L"\\Client", install, false, true); return true; }},
        {L"CopyPackageFile 64-bit driver", [&] { return w.CopyPackageFile(L"\\cvcheck.sys", pkg + L"\\System\\64", drivers, true, true); }},
        {L"CreateRegistryKey HKLM 32-bit", [&] { return w.CreateRegistryKey(kHkeyLocalMachine, L"SOFTWARE\\Talvoric\\EngineCheck\\Options", true, false); }},
        {L"SetRegistryString Install Path", [&] { return w.SetRegistryString(L"Install Path", L"SOFTWARE\\Talvoric\\EngineCheck", install, kHkeyLocalMachine, false); }},
        {L"SetRegistryDword ProductType", [&] { return w.SetRegistryDword(L"ProductType", L"SOFTWARE\\Talvoric\\EngineCheck", 1, true); }},
        {L"CreateRegistryKey HKLM 64-bit", [&] { return w.CreateRegistryKey(kHkeyLocalMachine, L"SOFTWARE\\Talvoric\\EngineCheck64\\Cred", true, true); }},
        {L"SetRegistryString 64-bit default value", [&] { return w.SetRegistryString(L"", L"SOFTWARE\\Talvoric\\EngineCheck64\\Cred", L"PeCredProv", kHkeyLocalMachine, true); }},
        {L"CreateRegistryKey HKCU", [&] { return w.CreateRegistryKey(kHkeyCurrentUser, L"Software\\Talvoric\\EngineCheck", true, false); }},
        {L"SetRegistryString Run value", [&] { return w.SetRegistryString(L"CorvaneCheck", L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", L"\"" + install + L"\\Corvane.exe\"", kHkeyLocalMachine, false); }},
        {L"CreateAgentService", [&] { return w.CreateAgentService(install + L"\\CorvaneAgent.exe"); }},
        {L"CreateFolderTree start menu", [&] { return w.CreateFolderTree(menu, false); }},
        {L"CreateShortcut", [&] { return w.CreateShortcut(menu + L"\\HDD Corvane Check.lnk", install + L"\\Corvane.exe", L"", L"HDD Corvane 9", install, install + L"\\Corvane.exe") >= 0; }},
    };
    int ran = 0;
    for (const auto& [name, step] : steps) {
        if (stepsToRun >= 0 && ran == stepsToRun) {
            Print(L"stopping after " + std::to_wstring(ran) + L" steps, as a failing install would\n");
            break;
        }
        bool ok = step();
        Check(ok, std::wstring(name) + (ok ? L"" : L" (error " + std::to_wstring(e.errors.Last()) + L")"));
        ++ran;
        if (!ok) break;
    }
    Check(w.FileExists(install) == (ran > 0), L"FileExists on the install folder matches the steps run");
    PrintRecords(e.records);
    return ran;
}

int Sequence(const std::wstring& scratch, int stepsToRun) {
    Engine e;
    RunWriters(e, scratch, stepsToRun);
    install::Rollback(e.records, e.writers, e.context);
    Check(e.records.empty(), L"rollback emptied the record list");
    Check(e.logDiscard == 1, L"rollback met no failure");
    Check(e.reboot == 0, L"rollback needs no restart");
    return failures == 0 ? 0 : 1;
}

// All writers, then the record file as registration leaves it: its own record last, so an
// uninstall deletes the file first.
int Install(const std::wstring& scratch) {
    Engine e;
    RunWriters(e, scratch, -1);
    const std::wstring file = scratch + L"\\" + install::kRecordFileName;
    e.writers.Append(install::kRecordFile, file);
    install::WriteRecordFile(e.files, file, e.records);
    Check(::GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES, L"record file written");
    return failures == 0 ? 0 : 1;
}

int Uninstall(const std::wstring& scratch) {
    Engine e;
    e.context.uninstallMode = true;
    const std::wstring file = scratch + L"\\" + install::kRecordFileName;
    UninstallRecordList records;
    install::ReadRecordFile(e.files, file, records);
    Check(!records.empty() && records.front().text == file, L"record file read, its own record first");
    for (const auto& record : records)
        Check(install::ReplayRecord(record, e.writers, e.context), L"replayed: " + record.text);
    return failures == 0 ? 0 : 1;
}

int Shortcut(const std::wstring& scratch) {
    Engine e;
    const std::wstring link = scratch + L"\\Check.lnk";
    const std::wstring target = scratch + L"\\Pkg\\Client\\Corvane.exe";
    const std::wstring folder = scratch + L"\\Pkg\\Client";
    int32_t hr = e.writers.CreateShortcut(link, target, L"/tray", L"HDD Corvane 9", folder, target);
    Check(hr >= 0, L"CreateShortcut saved the link");
    Check(e.records.size() == 1 && e.records[0].kind == install::kRecordFile && e.records[0].text == link,
          L"one file record naming the link");

    ScopedCom com;
    ScopedComPtr<IShellLinkW> shellLink;
    ScopedComPtr<IPersistFile> file;
    bool loaded = SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                               shellLink.ReceiveVoid())) &&
                  SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, file.ReceiveVoid())) &&
                  SUCCEEDED(file->Load(link.c_str(), STGM_READ));
    Check(loaded, L"the link loads");
    if (loaded) {
        wchar_t path[MAX_PATH] = {}, args[MAX_PATH] = {}, description[MAX_PATH] = {}, workDir[MAX_PATH] = {};
        shellLink->GetPath(path, MAX_PATH, nullptr, SLGP_RAWPATH);
        shellLink->GetArguments(args, MAX_PATH);
        shellLink->GetDescription(description, MAX_PATH);
        shellLink->GetWorkingDirectory(workDir, MAX_PATH);
        Print(std::wstring(L"link target: ") + path + L"\nlink arguments: " + args + L"\nlink description: " +
              description + L"\nlink folder: " + workDir + L"\n");
        Check(::lstrcmpiW(path, target.c_str()) == 0, L"the link resolves to its target");
        Check(std::wstring(args) == L"/tray", L"arguments kept");
        Check(std::wstring(description) == L"HDD Corvane 9", L"description kept");
        Check(::lstrcmpiW(workDir, folder.c_str()) == 0, L"working folder kept");
    }
    file.Reset();
    shellLink.Reset();
    install::Rollback(e.records, e.writers, e.context);
    Check(::GetFileAttributesW(link.c_str()) == INVALID_FILE_ATTRIBUTES, L"rollback removed the link");
    return failures == 0 ? 0 : 1;
}

int Service(const std::wstring& exe) {
    Engine e;
    Check(!e.writers.AgentServiceExists(), L"no agent service before");
    Check(e.writers.CreateAgentService(exe), L"CreateAgentService");
    Check(e.records.size() == 1 && e.records[0].kind == install::kRecordService && e.records[0].text == L"CorvaneAgent",
          L"one service record \"CorvaneAgent\"");
    Check(e.writers.CreateAgentService(exe) && e.errors.Last() == 0 && e.records.size() == 1,
          L"a second CreateAgentService succeeds without a record");
    Check(e.writers.AgentServiceExists(), L"AgentServiceExists");

    ScopedService manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ENUMERATE_SERVICE | SC_MANAGER_CONNECT));
    bool listed = false;
    if (manager) {
        DWORD needed = 0, count = 0, resume = 0;
        ::EnumServicesStatusExW(manager.Get(), SC_ENUM_PROCESS_INFO, SERVICE_WIN32, SERVICE_STATE_ALL, nullptr, 0,
                                &needed, &count, &resume, nullptr);
        std::vector<BYTE> buffer(needed + 4096);
        resume = 0;
        if (::EnumServicesStatusExW(manager.Get(), SC_ENUM_PROCESS_INFO, SERVICE_WIN32, SERVICE_STATE_ALL, buffer.data(),
                                    static_cast<DWORD>(buffer.size()), &needed, &count, &resume, nullptr)) {
            auto* entries = reinterpret_cast<ENUM_SERVICE_STATUS_PROCESSW*>(buffer.data());
            for (DWORD i = 0; i < count; ++i) {
                if (std::wstring(entries[i].lpServiceName) != L"CorvaneAgent") continue;
                Print(std::wstring(L"listed: ") + entries[i].lpServiceName + L" \"" + entries[i].lpDisplayName + L"\"\n");
                listed = std::wstring(entries[i].lpDisplayName) == L"CorvaneAgentService";
            }
        }
    }
    Check(listed, L"the service manager lists CorvaneAgent as \"CorvaneAgentService\"");

    ScopedService service(manager ? ::OpenServiceW(manager.Get(), L"CorvaneAgent", SERVICE_QUERY_CONFIG) : nullptr);
    std::vector<BYTE> config(8192), described(8192);
    DWORD needed = 0;
    if (service && ::QueryServiceConfigW(service.Get(), reinterpret_cast<QUERY_SERVICE_CONFIGW*>(config.data()),
                                         static_cast<DWORD>(config.size()), &needed)) {
        auto* c = reinterpret_cast<QUERY_SERVICE_CONFIGW*>(config.data());
        Print(std::wstring(L"binary: ") + c->lpBinaryPathName + L"\n");
        Check(c->dwStartType == SERVICE_AUTO_START, L"automatic start");
        Check(c->dwServiceType == SERVICE_WIN32_OWN_PROCESS, L"own process");
        Check(c->dwErrorControl == SERVICE_ERROR_IGNORE, L"errors ignored");
        Check(::lstrcmpiW(c->lpBinaryPathName, exe.c_str()) == 0, L"binary path is the executable");
    } else {
        Check(false, L"QueryServiceConfigW");
    }
    if (service && ::QueryServiceConfig2W(service.Get(), SERVICE_CONFIG_DESCRIPTION, described.data(),
                                          static_cast<DWORD>(described.size()), &needed)) {
        auto* d = reinterpret_cast<SERVICE_DESCRIPTIONW*>(described.data());
        std::wstring text = d->lpDescription ? d->lpDescription : L"";
        Print(L"description: " + text + L"\n");
        Check(text == L"Talvoric HDD Corvane", L"description \"Talvoric HDD Corvane\"");
    } else {
        Check(false, L"QueryServiceConfig2W");
    }
    return failures == 0 ? 0 : 1;
}

bool Running(Engine& e, uint32_t id) {
    std::vector<ProcessEntry> processes;
    SnapshotStep step;
    e.processes.Snapshot(processes, step);
    for (const auto& p : processes)
        if (p.id == id) return true;
    return false;
}

// <parent> and <child> are copies of this program under other names: the parent is started,
// starts the child and waits; KillProcessTree on the parent's name ends both. The installer's
// own name is then given to KillProcessTree, which must leave the installer running.
int Processes(const std::wstring& parent, const std::wstring& child) {
    Engine e;
    auto& w = e.writers;
    Check(w.EnablePrivilege(L"SeDebugPrivilege"), L"EnablePrivilege SeDebugPrivilege");
    Check(w.EnablePrivilege(L"SeNoSuchPrivilege"), L"EnablePrivilege of an unknown name still opened the token");
    Check(w.RunProgram(L"parent \"" + child + L"\"", parent, SW_HIDE, 0), L"RunProgram started the parent");
    const std::wstring parentName = parent.substr(parent.rfind(L'\\') + 1);
    const std::wstring childName = child.substr(child.rfind(L'\\') + 1);
    uint32_t parentId = 0, childId = 0;
    for (int i = 0; i < 100 && (parentId == 0 || childId == 0); ++i) {
        ::Sleep(100);
        parentId = w.FindProcessId(parentName);
        childId = w.FindProcessId(childName);
    }
    Check(parentId != 0 && childId != 0, L"FindProcessId found the parent and its child");
    Check(w.KillProcessTree(parentName), L"KillProcessTree on the parent");
    bool gone = false;
    for (int i = 0; i < 50 && !gone; ++i) {
        gone = !Running(e, parentId) && !Running(e, childId);
        if (!gone) ::Sleep(100);
    }
    Check(gone, L"parent and child have ended");
    const std::wstring self = e.files.ExecutablePath().substr(e.files.ExecutablePath().rfind(L'\\') + 1);
    Check(!w.KillProcessTree(self), L"KillProcessTree on the installer's own name declines");
    Check(Running(e, ::GetCurrentProcessId()), L"the installer is still running");
    return failures == 0 ? 0 : 1;
}

// Started by Processes: starts the child and waits for it (at most a minute).
int Parent(const std::wstring& child) {
    Engine e;
    e.writers.RunProgram(L"idle", child, SW_HIDE, 60000);
    return 0;
}

int ServiceRemove() {
    Engine e;
    e.context.uninstallMode = true;
    Check(install::ReplayRecord({install::kRecordService, L"CorvaneAgent"}, e.writers, e.context),
          L"replay of the service record");
    // The manager may still show a deleted service for a moment.
    bool gone = false;
    for (int i = 0; i < 50 && !gone; ++i) {
        gone = !e.writers.AgentServiceExists();
        if (!gone) ::Sleep(100);
    }
    Check(gone, L"the service is gone");
    return failures == 0 ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring command = argc > 1 ? argv[1] : L"";
    if (command == L"prepare" && argc == 3) return Prepare(argv[2]);
    if (command == L"sequence" && (argc == 3 || argc == 4)) return Sequence(argv[2], argc == 4 ? _wtoi(argv[3]) : -1);
    if (command == L"install" && argc == 3) return Install(argv[2]);
    if (command == L"uninstall" && argc == 3) return Uninstall(argv[2]);
    if (command == L"shortcut" && argc == 3) return Shortcut(argv[2]);
    if (command == L"service" && argc == 3) return Service(argv[2]);
    if (command == L"service-remove" && argc == 2) return ServiceRemove();
    if (command == L"processes" && argc == 4) return Processes(argv[2], argv[3]);
    if (command == L"parent" && argc == 3) return Parent(argv[2]);
    if (command == L"idle") {
        ::Sleep(60000);
        return 0;
    }
    Print(L"usage: enginecheck prepare|sequence|install|uninstall|shortcut <scratch> [steps] | service <exe> | service-remove | processes <parent> <child>\n");
    return 2;
}
