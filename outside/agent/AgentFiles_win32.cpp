#include "outside/agent/AgentFiles_win32.h"

#include <cstdio>
#include <vector>

#include "platform/win32/ScopedWin.h"

namespace corvane_agent {

using platform::win32::ScopedHandle;

namespace {
constexpr DWORD kMaxSettingsBytes = 64 * 1024;
constexpr LONGLONG kMaxLogBytes = 1024 * 1024;
}  // namespace

std::wstring ExecutableFolder() {
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return std::wstring();
        if (n < path.size()) {
            std::wstring full(path.data(), n);
            size_t slash = full.rfind(L'\\');
            return slash == std::wstring::npos ? std::wstring() : full.substr(0, slash + 1);
        }
        path.resize(path.size() * 2);
    }
}

bool FileSettingsStore::Load(std::string& text) {
    ScopedHandle file(::CreateFileW(path_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.Get(), &size) || size.QuadPart > kMaxSettingsBytes) return false;
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!bytes.empty() && !::ReadFile(file.Get(), &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr))
        return false;
    bytes.resize(read);
    text = bytes;
    return true;
}

bool FileSettingsStore::Save(const std::string& text) {
    std::wstring side = path_ + L".new";
    {
        ScopedHandle file(::CreateFileW(side.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return false;
        DWORD written = 0;
        if (!::WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
            written != text.size() || !::FlushFileBuffers(file.Get())) {
            file.Reset();
            ::DeleteFileW(side.c_str());
            return false;
        }
    }
    if (!::MoveFileExW(side.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ::DeleteFileW(side.c_str());
        return false;
    }
    return true;
}

void FileLog::Write(const std::string& line) {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%04u-%02u-%02u %02u:%02u:%02u.%03u [%lu] ", now.wYear, now.wMonth, now.wDay,
                  now.wHour, now.wMinute, now.wSecond, now.wMilliseconds, ::GetCurrentThreadId());
    std::string text = stamp + line + "\r\n";

    std::lock_guard<std::mutex> lock(mutex_);
    if (echo_) {
        std::fwrite(text.data(), 1, text.size(), stdout);
        std::fflush(stdout);
    }
    WIN32_FILE_ATTRIBUTE_DATA info{};
    if (::GetFileAttributesExW(path_.c_str(), GetFileExInfoStandard, &info)) {
        LONGLONG size = (static_cast<LONGLONG>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
        if (size > kMaxLogBytes) ::MoveFileExW(path_.c_str(), (path_ + L".old").c_str(), MOVEFILE_REPLACE_EXISTING);
    }
    ScopedHandle file(::CreateFileW(path_.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return;
    DWORD written = 0;
    ::WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

}  // namespace corvane_agent
