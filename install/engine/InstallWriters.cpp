#include "install/engine/InstallWriters.h"

#include <cwchar>
#include <cwctype>

namespace install {

using namespace platform;

namespace {

std::wstring RootText(RegRoot root) {
    wchar_t buf[12];
    std::swprintf(buf, 12, L"%08X", root);
    return buf;
}

bool SameNameIgnoringCase(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::towlower(static_cast<wint_t>(a[i])) != std::towlower(static_cast<wint_t>(b[i]))) return false;
    return true;
}

}  // namespace

bool ParseRegistryRecordText(const std::wstring& text, RegRoot& root, std::wstring& rest) {
    size_t slash = text.find(L'\\');
    if (slash == std::wstring::npos || slash == 0 || slash > 8) return false;
    uint32_t value = 0;
    for (size_t i = 0; i < slash; ++i) {
        wchar_t ch = text[i];
        uint32_t digit;
        if (ch >= L'0' && ch <= L'9') digit = ch - L'0';
        else if (ch >= L'A' && ch <= L'F') digit = ch - L'A' + 10;
        else if (ch >= L'a' && ch <= L'f') digit = ch - L'a' + 10;
        else return false;
        value = value * 16 + digit;
    }
    // Only the predefined roots: a record file is outside input and must not reach a random handle.
    if (value < kHkeyClassesRoot || value > 0x80000006u) return false;
    root = value;
    rest = text.substr(slash + 1);
    return true;
}

bool InstallWriters::Fail(uint32_t error) {
    ports_.errors.SetLast(error);
    return false;
}

bool InstallWriters::CreateFolderTree(const std::wstring& path, bool wide) {
    std::wstring folder = path;
    while (!folder.empty() && folder.back() == L'\\') folder.pop_back();
    uint32_t error;
    {
        // Redirection is off for the first attempt as well: otherwise a 64-bit folder whose
        // parent exists would be made in SysWOW64 and recorded as the System32 one.
        RedirectionOff off(ports_.files, wide);
        error = ports_.files.CreateFolder(folder);
    }
    if (error == kErrorPathNotFound) {
        size_t cut = folder.rfind(L'\\');
        if (cut == std::wstring::npos) return Fail(kErrorInvalidParameter);
        if (!CreateFolderTree(folder.substr(0, cut), wide)) return false;
        RedirectionOff off(ports_.files, wide);
        error = ports_.files.CreateFolder(folder);
    }
    if (error == 0) {
        Append(wide ? kRecordFolderNoRedirect : kRecordFolder, folder);
        ports_.log.Write(L"Create directory - %ls\n", folder.c_str());
    } else if (error != kErrorAlreadyExists) {
        return Fail(error);
    }
    ports_.errors.SetLast(0);
    return true;
}

bool InstallWriters::CopyPackageFile(const std::wstring& relativePath, const std::wstring& source,
                                     const std::wstring& destination, bool wide, bool record) {
    size_t cut = relativePath.rfind(L'\\');
    if (cut == std::wstring::npos) return Fail(kErrorInvalidParameter);
    std::wstring folderPart = relativePath.substr(0, cut);
    std::wstring namePart = relativePath.substr(cut + 1);
    if (namePart.empty()) return Fail(kErrorInvalidParameter);
    if (!CreateFolderTree(destination + folderPart, wide)) return false;

    std::wstring target = destination + folderPart + L"\\" + namePart;
    std::wstring from = source + relativePath;
    uint32_t error;
    {
        RedirectionOff off(ports_.files, wide);
        error = ports_.files.CopyFileOver(from, target);
    }
    if (error != 0) return Fail(error);
    if (record) Append(wide ? kRecordFileNoRedirect : kRecordFile, target);
    ports_.log.Write(L"Copy file - %ls\n", target.c_str());
    ports_.errors.SetLast(0);
    return true;
}

void InstallWriters::CopyPackageTree(const std::wstring& source, const std::wstring& destination, bool wide,
                                     bool record) {
    std::vector<FindEntry> entries;
    if (ports_.files.Find(source + L"\\*.*", entries) != 0) return;
    for (const auto& entry : entries) {
        if (entry.name == L"." || entry.name == L"..") continue;
        if (entry.directory)
            CopyPackageTree(source + L"\\" + entry.name, destination + L"\\" + entry.name, wide, record);
        else
            CopyPackageFile(L"\\" + entry.name, source, destination, wide, record);
    }
}

bool InstallWriters::CreateRegistryKey(RegRoot root, const std::wstring& path, bool record, bool wide) {
    std::wstring text = RootText(root);
    std::wstring soFar;
    uint32_t error = 0;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find(L'\\', start);
        if (end == std::wstring::npos) end = path.size();
        std::wstring component = path.substr(start, end - start);
        start = end + 1;
        if (component.empty()) continue;
        soFar += soFar.empty() ? component : L"\\" + component;
        text += L"\\" + component;
        bool created = false;
        error = ports_.registry.CreateKey(root, soFar, View64(wide), created);
        if (error != 0) break;
        if (created) {
            if (record) Append(wide ? kRecordRegistryKey64 : kRecordRegistryKey, text);
            ports_.log.Write(L"Create registry key - %ls\n", text.c_str());
        }
    }
    ports_.errors.SetLast(error);
    return error == 0;
}

bool InstallWriters::SetRegistryValue(const std::wstring& name, const std::wstring& key,
                                      const std::vector<uint8_t>& data, uint32_t type, RegRoot root, bool wide,
                                      bool record) {
    uint32_t error = ports_.registry.SetValue(root, key, View64(wide), name, type, data);
    if (error != 0) return Fail(error);
    std::wstring text = RootText(root) + L"\\" + key + L"\\" + name;
    if (record) Append(wide ? kRecordRegistryValue64 : kRecordRegistryValue, text);
    ports_.log.Write(L"Set registry value - %ls\n", text.c_str());
    ports_.errors.SetLast(0);
    return true;
}

bool InstallWriters::SetRegistryString(const std::wstring& name, const std::wstring& key, const std::wstring& text,
                                       RegRoot root, bool wide) {
    return SetRegistryValue(name, key, RegStringBytes(text), kRegSz, root, wide, true);
}

bool InstallWriters::SetRegistryDword(const std::wstring& name, const std::wstring& key, uint32_t value, bool record) {
    return SetRegistryValue(name, key, RegDwordBytes(value), kRegDword, kHkeyLocalMachine, false, record);
}

bool InstallWriters::DeleteRegistryKey(const std::wstring& recordText, bool wide) {
    RegRoot root;
    std::wstring path;
    // An empty key path would name the root itself, which is never ours to delete.
    if (!ParseRegistryRecordText(recordText, root, path) || path.empty()) return Fail(kErrorInvalidParameter);
    uint32_t error = ports_.registry.DeleteKey(root, path, View64(wide));
    ports_.errors.SetLast(error);
    return error == 0;
}

bool InstallWriters::DeleteRegistryValue(const std::wstring& recordText, bool wide) {
    RegRoot root;
    std::wstring rest;
    if (!ParseRegistryRecordText(recordText, root, rest)) return Fail(kErrorInvalidParameter);
    size_t last = rest.rfind(L'\\');
    std::wstring key = last == std::wstring::npos ? L"" : rest.substr(0, last);
    std::wstring name = last == std::wstring::npos ? rest : rest.substr(last + 1);
    uint32_t error = ports_.registry.DeleteValue(root, key, View64(wide), name);
    ports_.errors.SetLast(error);
    return error == 0;
}

int32_t InstallWriters::CreateShortcut(const std::wstring& linkPath, const std::wstring& target,
                                       const std::wstring& arguments, const std::wstring& description,
                                       const std::wstring& workingFolder, const std::wstring& iconFile) {
    int32_t hr = ports_.shell.CreateShortcut({linkPath, target, arguments, description, workingFolder, iconFile});
    if (hr >= 0) {
        Append(kRecordFile, linkPath);
        ports_.log.Write(L"Create file - %ls\n", linkPath.c_str());
    }
    return hr;
}

bool InstallWriters::CreateAgentService(const std::wstring& executablePath) {
    ServiceSpec spec{kAgentServiceName, kAgentServiceDisplayName, executablePath, kServiceAutoStart,
                     kServiceErrorIgnore};
    uint32_t error = ports_.services.Create(spec);
    if (error == kErrorServiceExists) {
        ports_.errors.SetLast(0);
        return true;
    }
    if (error != 0) return Fail(error);
    error = ports_.services.SetDescription(kAgentServiceName, kAgentServiceDescription);
    if (error != 0) {
        // Without its record nothing would ever remove the service again: take it back now.
        ports_.services.Delete(kAgentServiceName);
        return Fail(error);
    }
    Append(kRecordService, kAgentServiceName);
    ports_.log.Write(L"Create service - %ls\n", kAgentServiceName);
    ports_.errors.SetLast(0);
    return true;
}

bool InstallWriters::DeleteServiceByName(const std::wstring& name) {
    uint32_t error = ports_.services.Delete(name);
    ports_.errors.SetLast(error);
    return error == 0;
}

bool InstallWriters::StartServiceByName(const std::wstring& name) {
    uint32_t error = ports_.services.Start(name);
    ports_.errors.SetLast(error);
    return error == 0;
}

bool InstallWriters::AgentServiceExists() {
    uint32_t error = ports_.services.Open(kAgentServiceName);
    ports_.errors.SetLast(error == kErrorServiceDoesNotExist ? 0 : error);
    return error == 0;
}

bool InstallWriters::RunProgram(const std::wstring& arguments, const std::wstring& program, int showState,
                                uint32_t timeLimitMs) {
    std::wstring commandLine = program.empty() ? arguments : L"\"" + program + L"\" " + arguments;
    ports_.log.Write(L"%ls\n", commandLine.c_str());
    uint32_t error = ports_.processes.Launch(commandLine, showState, timeLimitMs);
    if (error != 0) {
        ports_.log.Write(L"Failed with %d\n", static_cast<int>(error));
        return Fail(error);
    }
    ports_.errors.SetLast(0);
    return true;
}

uint32_t InstallWriters::FindProcessId(const std::wstring& exeName) {
    std::vector<ProcessEntry> processes;
    SnapshotStep failedAt;
    uint32_t error = ports_.processes.Snapshot(processes, failedAt);
    if (error != 0) {
        ports_.log.Write(failedAt == SnapshotStep::Snapshot
                             ? L"Failed to CreateToolhelp32Snapshot in GetProcessID : %d\n"
                             : L"Failed to Process32First in GetProcessID : %d\n",
                         static_cast<int>(error));
        ports_.errors.SetLast(error);
        return 0;
    }
    ports_.log.Write(L"Finding process ID for %ls\n", exeName.c_str());
    for (const auto& process : processes) {
        if (SameNameIgnoringCase(process.exeName, exeName)) {
            ports_.log.Write(L"%ls process ID : %08X\n", exeName.c_str(), process.id);
            return process.id;
        }
    }
    return 0;
}

bool InstallWriters::KillProcessTree(const std::wstring& exeName) {
    uint32_t id = FindProcessId(exeName);
    if (id == 0) return false;
    uint32_t self = ports_.processes.CurrentProcessId();

    std::vector<ProcessEntry> processes;
    SnapshotStep failedAt;
    uint32_t error = ports_.processes.Snapshot(processes, failedAt);
    if (error != 0) {
        ports_.log.Write(failedAt == SnapshotStep::Snapshot ? L"Failed to CreateToolhelp32Snapshot in KillProcess : %d\n"
                                                            : L"Failed to Process32First in KillProcess : %d\n",
                         static_cast<int>(error));
    }
    for (const auto& process : processes) {
        if (process.parentId != id || process.id == self) continue;
        ports_.log.Write(L"Terminating process %ls\n", process.exeName.c_str());
        TerminateStep step;
        ports_.processes.Terminate(process.id, 0, false, step);
    }

    // The installer may carry the name it was asked to end; it never ends itself.
    if (id == self) return Fail(kErrorAccessDenied);
    ports_.log.Write(L"Terminating process %ls\n", exeName.c_str());
    TerminateStep step;
    error = ports_.processes.Terminate(id, 0, true, step);
    if (error != 0) {
        ports_.log.Write(step == TerminateStep::Open ? L"Failed to OpenProcess 0x%08X : %d\n"
                                                     : L"Failed to TerminateProcess 0x%08X : %d\n",
                         id, static_cast<int>(error));
        return Fail(error);
    }
    ports_.errors.SetLast(0);
    return true;
}

bool InstallWriters::EnablePrivilege(const std::wstring& name) {
    PrivilegeStep failedAt;
    uint32_t error = ports_.privileges.Enable(name, failedAt);
    ports_.errors.SetLast(error);
    if (error == 0) return true;
    switch (failedAt) {
    case PrivilegeStep::OpenToken:
        ports_.log.Write(L"Failed to OpenProcessToken : %d\n", static_cast<int>(error));
        return false;
    case PrivilegeStep::Lookup:
        ports_.log.Write(L"Failed to LookupPrivilegeValue : %d\n", static_cast<int>(error));
        break;
    case PrivilegeStep::Adjust:
        ports_.log.Write(L"Failed to AdjustTokenPrivileges : %d\n", static_cast<int>(error));
        break;
    }
    // The token was opened: that is what the callers ask about.
    return true;
}

bool InstallWriters::FileExists(const std::wstring& pathOrPattern) {
    std::vector<FindEntry> entries;
    return ports_.files.Find(pathOrPattern, entries) == 0 && !entries.empty();
}

std::wstring InstallWriters::InstallerFolder() {
    std::wstring path = ports_.files.ExecutablePath();
    size_t cut = path.rfind(L'\\');
    return cut == std::wstring::npos ? L"" : path.substr(0, cut);
}

}  // namespace install
