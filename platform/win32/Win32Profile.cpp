#include "platform/win32/Win32Profile.h"

#include <windows.h>

#include <vector>

namespace platform::win32 {

std::wstring Win32Profile::ReadString(const std::wstring& file, const std::wstring& section, const std::wstring& key,
                                      const std::wstring& fallback, size_t bufferChars) {
    if (bufferChars == 0) return std::wstring();
    std::vector<wchar_t> buffer(bufferChars, L'\0');
    DWORD n = ::GetPrivateProfileStringW(section.c_str(), key.c_str(), fallback.c_str(), buffer.data(),
                                         static_cast<DWORD>(bufferChars), file.c_str());
    if (n >= bufferChars) n = static_cast<DWORD>(bufferChars - 1);
    return std::wstring(buffer.data(), n);
}

bool Win32Profile::WriteString(const std::wstring& file, const std::wstring& section, const std::wstring& key,
                               const std::wstring& value) {
    return ::WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(), file.c_str()) != FALSE;
}

bool Win32Profile::FileExists(const std::wstring& file) {
    DWORD attributes = ::GetFileAttributesW(file.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace platform::win32
