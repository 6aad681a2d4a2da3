#include "platform/win32/Win32InstallPorts.h"
#include "platform/win32/ScopedWin.h"

#include <algorithm>

namespace platform::win32 {

namespace {

uint32_t LastError() { return static_cast<uint32_t>(::GetLastError()); }

template <typename Fn>
Fn Kernel32Function(const char* name) {
    HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    return kernel ? reinterpret_cast<Fn>(::GetProcAddress(kernel, name)) : nullptr;
}

// Redirection is a per-thread state; the value Windows hands back must be given back on the
// same thread.
thread_local PVOID redirectionCookie = nullptr;
thread_local bool redirectionOff = false;

}  // namespace

uint32_t Win32Files::CreateFolder(const std::wstring& path) {
    return ::CreateDirectoryW(path.c_str(), nullptr) ? 0 : LastError();
}

uint32_t Win32Files::RemoveFolder(const std::wstring& path) {
    return ::RemoveDirectoryW(path.c_str()) ? 0 : LastError();
}

uint32_t Win32Files::RemoveFile(const std::wstring& path) {
    return ::DeleteFileW(path.c_str()) ? 0 : LastError();
}

uint32_t Win32Files::CopyFileOver(const std::wstring& source, const std::wstring& target) {
    return ::CopyFileW(source.c_str(), target.c_str(), FALSE) ? 0 : LastError();
}

uint32_t Win32Files::DeleteAtReboot(const std::wstring& path) {
    return ::MoveFileExW(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) ? 0 : LastError();
}

uint32_t Win32Files::Find(const std::wstring& pattern, std::vector<FindEntry>& entries) {
    entries.clear();
    WIN32_FIND_DATAW data;
    ScopedFindHandle find(::FindFirstFileW(pattern.c_str(), &data));
    if (!find) return LastError();
    do {
        entries.push_back({data.cFileName, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    } while (::FindNextFileW(find.Get(), &data));
    return 0;
}

uint32_t Win32Files::ReadAll(const std::wstring& path, std::vector<uint8_t>& bytes) {
    bytes.clear();
    ScopedHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return LastError();
    uint8_t buffer[16384];
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr)) return LastError();
        if (got == 0) return 0;
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
}

namespace {
uint32_t WriteAll(HANDLE file, const std::vector<uint8_t>& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD wrote = 0;
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
        if (!::WriteFile(file, bytes.data() + done, chunk, &wrote, nullptr)) return LastError();
        if (wrote == 0) return ERROR_WRITE_FAULT;
        done += wrote;
    }
    return 0;
}
}  // namespace

uint32_t Win32Files::CreateNew(const std::wstring& path, const std::vector<uint8_t>& bytes) {
    ScopedHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return LastError();
    return WriteAll(file.Get(), bytes);
}

uint32_t Win32Files::Append(const std::wstring& path, const std::vector<uint8_t>& bytes) {
    ScopedHandle file(::CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return LastError();
    return WriteAll(file.Get(), bytes);
}

bool Win32Files::IsWow64() {
    using IsWow64Fn = BOOL(WINAPI*)(HANDLE, PBOOL);
    // Looked up at run time: older 32-bit Windows lacks the function and is never WOW64.
    auto isWow64 = Kernel32Function<IsWow64Fn>("IsWow64Process");
    BOOL wow64 = FALSE;
    return isWow64 && isWow64(::GetCurrentProcess(), &wow64) && wow64;
}

bool Win32Files::DisableRedirection() {
    using DisableFn = BOOL(WINAPI*)(PVOID*);
    if (redirectionOff) return false;  // an outer scope already turned it off and will turn it back
    auto disable = Kernel32Function<DisableFn>("Wow64DisableWow64FsRedirection");
    if (!disable || !disable(&redirectionCookie)) return false;
    redirectionOff = true;
    return true;
}

void Win32Files::RevertRedirection() {
    using RevertFn = BOOL(WINAPI*)(PVOID);
    if (!redirectionOff) return;
    if (auto revert = Kernel32Function<RevertFn>("Wow64RevertWow64FsRedirection")) revert(redirectionCookie);
    redirectionOff = false;
}

std::wstring Win32Files::ExecutablePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = ::GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (length == 0) return L"";
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

}  // namespace platform::win32
