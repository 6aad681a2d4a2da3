#include "platform/win32/Win32VersionFiles.h"

#include <windows.h>

#include "platform/win32/ScopedWin.h"

namespace platform::win32 {

bool Win32VersionFiles::List(const std::wstring& pattern, std::vector<platform::VersionFileEntry>& entries) {
    WIN32_FIND_DATAW data;
    ScopedFindHandle find(::FindFirstFileW(pattern.c_str(), &data));
    if (!find) return false;
    entries.clear();
    do {
        entries.push_back({data.cFileName, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                           (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0});
    } while (::FindNextFileW(find.Get(), &data));
    return true;
}

uint32_t Win32VersionFiles::InfoSize(const std::wstring& path, uint32_t& error) {
    DWORD handle = 0;
    DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &handle);
    if (size == 0) error = ::GetLastError();
    return size;
}

bool Win32VersionFiles::Read(const std::wstring& path, std::vector<uint8_t>& block) {
    return ::GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(block.size()), block.data()) != FALSE;
}

bool Win32VersionFiles::QueryRoot(const std::vector<uint8_t>& block, uint32_t& versionMs, uint32_t& versionLs) {
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) || !fixed ||
        length < sizeof(VS_FIXEDFILEINFO))
        return false;
    versionMs = fixed->dwFileVersionMS;
    versionLs = fixed->dwFileVersionLS;
    return true;
}

bool Win32VersionFiles::QueryTranslations(const std::vector<uint8_t>& block, std::vector<std::pair<uint16_t, uint16_t>>& pairs) {
    WORD* words = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&words), &length) || !words)
        return false;
    pairs.clear();
    for (UINT i = 0; i + 4 <= length; i += 4) pairs.emplace_back(words[i / 2], words[i / 2 + 1]);
    return !pairs.empty();
}

bool Win32VersionFiles::QueryString(const std::vector<uint8_t>& block, const std::wstring& subBlock, std::wstring& value) {
    wchar_t* text = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(block.data(), subBlock.c_str(), reinterpret_cast<void**>(&text), &length) || !text) return false;
    // The length counts the terminator when there is one; never read past what was given.
    size_t n = 0;
    while (n < length && text[n] != L'\0') ++n;
    value.assign(text, n);
    return true;
}

}  // namespace platform::win32
