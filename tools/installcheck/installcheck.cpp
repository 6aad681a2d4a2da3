// installcheck: drives the installer's start-up pieces on Windows for the Wine tests and for
// support staff, without the wizard.
//   installcheck config <scratch folder>      the configuration cases with the private-profile functions
//   installcheck options                      the options of one run, read from this program's folder
//   installcheck log ok|fail [text]...        one log run; "\n" in a text stands for a line feed
//   installcheck checks [linkTargetDrive]     partition style, compressed volumes, fixed drives
//   installcheck helper [op [arg]]...         load "_Helper.dll" and call it: status, defaultcfg,
//                                             install <pw>, check <pw>, release <pw>, uninstall <pw>,
//                                             firewall <record>, nodrives
//   installcheck chooser <ms>                 show the drive chooser for <ms> milliseconds
//   installcheck version <file>               the file's version record
//   installcheck product <folder> <file>      the product version found below <folder>
//   installcheck versionbox <version>         the version box (F1) for a product version
// Exit code 0 when everything asked for succeeded (or was printed), 1 otherwise, 2 on bad usage.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>
#include <vector>

#include "install/app/FileVersionInfo.h"
#include "install/app/InstallConfig.h"
#include "install/app/Win32VersionBox.h"
#include "install/app/Win32InstallLog.h"
#include "install/engine/HelperDll.h"
#include "install/engine/SystemChecks.h"
#include "platform/ports/TextCodec.h"
#include "platform/win32/Win32Profile.h"
#include "platform/win32/Win32SystemFacts.h"
#include "platform/win32/Win32VersionFiles.h"
#include "tests/native/install_app/InstallConfigCases.h"

namespace {

void Print(const std::wstring& text) {
    std::string bytes = platform::text::ToUtf8(text);
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    std::fflush(stdout);
}

// Log lines go to standard output, marked so a test can tell them from results.
struct ConsoleLog : platform::ILog {
    void WriteText(const std::wstring& text) override {
        std::wstring lines = L"log: ";
        for (size_t i = 0; i < text.size(); ++i) {
            lines.push_back(text[i]);
            if (text[i] == L'\n' && i + 1 < text.size()) lines += L"log: ";
        }
        if (lines.back() != L'\n') lines.push_back(L'\n');
        Print(lines);
    }
};

std::wstring ProgramFolder() {
    wchar_t path[MAX_PATH] = {};
    DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring full(path, n);
    return full.substr(0, full.rfind(L'\\'));
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
    platform::win32::ScopedHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    return ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) && written == bytes.size();
}

int RunConfig(const std::wstring& scratch) {
    platform::win32::Win32Profile profile;
    ::CreateDirectoryW(scratch.c_str(), nullptr);
    int failures = 0, index = 0;
    for (const auto& c : install::testcases::ConfigCases()) {
        // A folder per case: the profile functions cache files by name.
        std::wstring folder = scratch + L"\\case" + std::to_wstring(index++);
        ::CreateDirectoryW(folder.c_str(), nullptr);
        std::wstring diff = install::testcases::RunConfigCase(profile, folder, c,
            [](const std::wstring& path, const std::string* bytes) {
                if (bytes) WriteBytes(path, *bytes); else ::DeleteFileW(path.c_str());
            });
        std::wstring name(c.name, c.name + std::char_traits<char>::length(c.name));
        if (diff.empty()) {
            Print(L"ok   " + name + L"\n");
        } else {
            Print(L"FAIL " + name + L"\n" + diff);
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}

int RunOptions() {
    platform::win32::Win32Profile profile;
    install::InstallConfigFiles files(profile, ProgramFolder());
    install::InstallOptions options;
    int linkEx = 0;
    // No installed product to take over here: an update session falls back as after a failed copy.
    files.ReadPackageConfiguration(options, linkEx, [] { return false; });
    files.ReadUserConfiguration(options);
    Print(install::DescribeOptions(options) + L"LinkEx=" + std::to_wstring(linkEx) + L"\n");
    return 0;
}

std::wstring Unescape(const std::wstring& arg) {
    std::wstring out;
    for (size_t i = 0; i < arg.size(); ++i) {
        if (arg[i] == L'\\' && i + 1 < arg.size() && arg[i + 1] == L'n') { out.push_back(L'\n'); ++i; }
        else out.push_back(arg[i]);
    }
    return out;
}

int RunLog(bool failed, const std::vector<std::wstring>& texts) {
    install::ApplicationLog app;
    install::InstallLog& log = app.Log();
    Print(L"temp log: " + log.Path() + L"\nkept log: " + log.KeptPath() + L"\n");
    for (const auto& text : texts) log.Write(L"%ls", Unescape(text).c_str());
    if (failed) log.Keep();
    return 0;
}

int RunChecks(int linkTargetDrive) {
    platform::win32::Win32SystemFacts facts;
    ConsoleLog log;
    install::SystemChecks checks(facts, log);
    int32_t style = -1;
    bool styleOk = checks.CheckPartitionStyle(style);
    Print(L"partition style: " + std::wstring(styleOk ? L"ok " : L"failed ") + std::to_wstring(style) + L"\n");
    install::UserMessage message;
    bool compressed = checks.FindCompressedVolume(message);
    Print(L"compressed volume: " + std::to_wstring(compressed) + L" message " + std::to_wstring(message.id) +
          L" last error " + std::to_wstring(::GetLastError()) + L"\n");
    Print(L"fixed drives: " + std::to_wstring(checks.CountFixedDrives()) + L"\n");
    for (int n = 0; n < 4; ++n) {
        wchar_t letter = checks.NthFixedDrive(n);
        Print(L"fixed drive " + std::to_wstring(n) + L": " + (letter ? std::wstring(1, letter) : L"none") + L"\n");
    }
    install::UserMessage protect;
    bool ok = checks.CheckProtectableDrives(linkTargetDrive, protect);
    Print(L"protectable: " + std::to_wstring(ok) + L" message " + std::to_wstring(protect.id) + L"\n");
    return 0;
}

int RunHelper(const std::vector<std::wstring>& ops) {
    platform::win32::Win32Modules modules;
    platform::win32::Win32SystemFacts facts;
    platform::win32::Win32Profile profile;
    ConsoleLog log;
    install::InstallOptions options;
    install::InstallConfigFiles files(profile, ProgramFolder());
    int linkEx = 0;
    files.ReadPackageConfiguration(options, linkEx, [] { return false; });
    install::CHelperDLL helper(modules, log);
    if (!helper.Load()) {
        Print(L"load failed: " + std::to_wstring(helper.LastError()) + L"\n");
        return 1;
    }
    install::SystemChecks checks(facts, log);
    if (!helper.Initialize(options, checks)) {
        Print(L"initialize failed\n");
        return 1;
    }
    files.ReadUserConfiguration(options);
    helper.SetProductInstalled(helper.IsCorvaneInstalled() != 0);
    for (size_t i = 0; i < ops.size(); ++i) {
        const std::wstring& op = ops[i];
        std::wstring arg = i + 1 < ops.size() ? ops[i + 1] : L"";
        std::wstring message;
        int result = 0;
        if (op == L"status") {
            Print(L"IsCorvaneInstalled -> " + std::to_wstring(helper.IsCorvaneInstalled()) + L"\n");
            Print(L"IsCorvaneProtect -> " + std::to_wstring(helper.IsCorvaneProtect()) + L"\n");
            continue;
        } else if (op == L"defaultcfg") {
            result = helper.CorvaneDefaultCfg(options);
        } else if (op == L"install") {
            options.m_strAdminPassword = arg; ++i;
            result = helper.InstallCorvane(options, message);
        } else if (op == L"check") {
            result = helper.CheckPassword(arg); ++i;
        } else if (op == L"release") {
            result = helper.ChangeSupervisor(arg, message); ++i;
        } else if (op == L"uninstall") {
            result = helper.UninstallCorvane(arg, message); ++i;
        } else if (op == L"firewall") {
            result = helper.FirewallRemoveApp(arg); ++i;
        } else if (op == L"nodrives") {
            result = helper.NoDrivesUpdate();
        } else {
            Print(L"unknown operation " + op + L"\n");
            return 2;
        }
        Print(op + L" -> " + std::to_wstring(result) + (message.empty() ? L"" : L" message: " + message) + L"\n");
    }
    return 0;
}

constexpr int kDriveControlId = 1019;

int RunChooser(DWORD showMs) {
    platform::win32::Win32Modules modules;
    platform::win32::Win32SystemFacts facts;
    ConsoleLog log;
    install::CHelperDLL helper(modules, log);
    if (!helper.Load()) return 1;
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    HWND page = ::CreateWindowExW(0, L"#32770", L"Drive chooser", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 520, 320,
                                  nullptr, nullptr, instance, nullptr);
    HWND control = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_ETCHEDFRAME, 20, 20, 460, 220, page,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(kDriveControlId)), instance, nullptr);
    platform::win32::Win32Profile profile;
    install::InstallConfigFiles files(profile, ProgramFolder());
    install::InstallOptions options;
    files.ReadInstallInfo(options);
    helper.CreateProtectDriveCtrl(page, control, options);
    DWORD until = ::GetTickCount() + showMs;
    MSG msg;
    while (static_cast<LONG>(until - ::GetTickCount()) > 0) {
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) { ::TranslateMessage(&msg); ::DispatchMessageW(&msg); }
        ::Sleep(20);
    }
    helper.ReleaseProtectDriveCtrl();
    ::DestroyWindow(page);
    return 0;
}

int RunVersion(const std::wstring& path) {
    platform::win32::Win32VersionFiles files;
    ConsoleLog log;
    install::FileVersionInfo info;
    if (!install::ReadFileVersionInfo(files, log, path, info)) {
        Print(L"no version\n");
        return 1;
    }
    Print(L"version: " + std::to_wstring(info.major) + L"." + std::to_wstring(info.minor) + L"." +
          std::to_wstring(info.build) + L"." + std::to_wstring(info.revision) + L"\n");
    static const wchar_t* names[] = {L"CompanyName", L"FileDescription", L"FileVersion", L"InternalName",
                                     L"LegalCopyright", L"LegalTrademarks1", L"LegalTrademarks2",
                                     L"OriginalFilename", L"ProductName", L"ProductVersion"};
    for (const auto& [number, texts] : info.strings)
        for (int n = 0; n < install::kVersionStringCount; ++n)
            Print(std::to_wstring(number) + L" " + names[n] + L"=" + texts[n] + L"\n");
    return 0;
}

int RunProduct(const std::wstring& folder, const std::wstring& file) {
    platform::win32::Win32VersionFiles files;
    ConsoleLog log;
    std::wstring version;
    if (!install::FindProductVersion(files, log, folder, file, version)) {
        Print(L"not found\n");
        return 1;
    }
    Print(L"product version: " + version + L"\n");
    return 0;
}

int Usage() {
    Print(L"usage: installcheck config <folder> | options | log ok|fail [text]... | checks [n] | helper [op [arg]]... | chooser <ms> | version <file> | product <folder> <file> | versionbox <version>\n");
    return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), _O_BINARY);  // UTF-8 lines exactly as written, LF only
    if (argc < 2) return Usage();
    std::wstring command = argv[1];
    std::vector<std::wstring> rest(argv + 2, argv + argc);
    if (command == L"config" && rest.size() == 1) return RunConfig(rest[0]);
    if (command == L"options" && rest.empty()) return RunOptions();
    if (command == L"log" && !rest.empty() && (rest[0] == L"ok" || rest[0] == L"fail"))
        return RunLog(rest[0] == L"fail", std::vector<std::wstring>(rest.begin() + 1, rest.end()));
    if (command == L"checks") return RunChecks(rest.empty() ? 0 : _wtoi(rest[0].c_str()));
    if (command == L"helper") return RunHelper(rest);
    if (command == L"chooser" && rest.size() == 1) return RunChooser(static_cast<DWORD>(_wtoi(rest[0].c_str())));
    if (command == L"version" && rest.size() == 1) return RunVersion(rest[0]);
    if (command == L"product" && rest.size() == 2) return RunProduct(rest[0], rest[1]);
    if (command == L"versionbox" && rest.size() == 1) {
        install::ShowVersionBox(nullptr, L"HDD Corvane 9", rest[0]);
        return 0;
    }
    return Usage();
}
