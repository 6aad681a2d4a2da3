#include "platform/win32/Win32InstallPorts.h"
#include "platform/win32/ScopedWin.h"

namespace platform::win32 {

namespace {

// Predefined handles are the sign-extended root numbers the records carry.
HKEY RootKey(RegRoot root) { return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(root))); }

REGSAM View(bool view64) { return view64 ? KEY_WOW64_64KEY : 0; }

uint32_t Open(RegRoot root, const std::wstring& path, bool view64, REGSAM access, ScopedKey& key) {
    return static_cast<uint32_t>(::RegOpenKeyExW(RootKey(root), path.c_str(), 0, access | View(view64), key.Receive()));
}

}  // namespace

uint32_t Win32Registry::CreateKey(RegRoot root, const std::wstring& path, bool view64, bool& created) {
    created = false;
    ScopedKey key;
    DWORD disposition = 0;
    LONG result = ::RegCreateKeyExW(RootKey(root), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                    KEY_ALL_ACCESS | View(view64), nullptr, key.Receive(), &disposition);
    created = result == ERROR_SUCCESS && disposition == REG_CREATED_NEW_KEY;
    return static_cast<uint32_t>(result);
}

uint32_t Win32Registry::OpenKey(RegRoot root, const std::wstring& path, bool view64) {
    ScopedKey key;
    return Open(root, path, view64, KEY_ALL_ACCESS, key);
}

uint32_t Win32Registry::DeleteKey(RegRoot root, const std::wstring& path, bool view64) {
    // RegDeleteKeyExW names the view; plain RegDeleteKeyW would always use the 32-bit one.
    return static_cast<uint32_t>(::RegDeleteKeyExW(RootKey(root), path.c_str(), View(view64), 0));
}

uint32_t Win32Registry::DeleteTree(RegRoot root, const std::wstring& path, bool view64) {
    std::vector<std::wstring> children;
    {
        ScopedKey key;
        if (uint32_t error = Open(root, path, view64, KEY_READ, key)) return error;
        wchar_t name[256];
        for (DWORD i = 0;; ++i) {
            DWORD length = 256;
            LONG result = ::RegEnumKeyExW(key.Get(), i, name, &length, nullptr, nullptr, nullptr, nullptr);
            if (result == ERROR_NO_MORE_ITEMS) break;
            if (result != ERROR_SUCCESS) return static_cast<uint32_t>(result);
            children.emplace_back(name, length);
        }
    }
    for (const auto& child : children)
        if (uint32_t error = DeleteTree(root, path + L"\\" + child, view64)) return error;
    return DeleteKey(root, path, view64);
}

uint32_t Win32Registry::HasSubkeys(RegRoot root, const std::wstring& path, bool view64, bool& has) {
    has = false;
    ScopedKey key;
    if (uint32_t error = Open(root, path, view64, KEY_READ, key)) return error;
    DWORD subkeys = 0;
    LONG result = ::RegQueryInfoKeyW(key.Get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr,
                                     nullptr, nullptr, nullptr, nullptr);
    has = subkeys != 0;
    return static_cast<uint32_t>(result);
}

uint32_t Win32Registry::SetValue(RegRoot root, const std::wstring& path, bool view64, const std::wstring& name,
                                 uint32_t type, const std::vector<uint8_t>& data) {
    ScopedKey key;
    if (uint32_t error = Open(root, path, view64, KEY_ALL_ACCESS, key)) return error;
    return static_cast<uint32_t>(::RegSetValueExW(key.Get(), name.c_str(), 0, type, data.data(),
                                                  static_cast<DWORD>(data.size())));
}

uint32_t Win32Registry::QueryValue(RegRoot root, const std::wstring& path, bool view64, const std::wstring& name,
                                   uint32_t& type, std::vector<uint8_t>& data) {
    data.clear();
    ScopedKey key;
    if (uint32_t error = Open(root, path, view64, KEY_READ, key)) return error;
    for (;;) {
        DWORD size = static_cast<DWORD>(data.size());
        DWORD valueType = 0;
        LONG result = ::RegQueryValueExW(key.Get(), name.c_str(), nullptr, &valueType, data.empty() ? nullptr : data.data(), &size);
        if (result == ERROR_MORE_DATA || (result == ERROR_SUCCESS && data.empty() && size > 0)) {
            data.resize(size);
            continue;
        }
        if (result == ERROR_SUCCESS) {
            data.resize(size);
            type = valueType;
        }
        return static_cast<uint32_t>(result);
    }
}

uint32_t Win32Registry::DeleteValue(RegRoot root, const std::wstring& path, bool view64, const std::wstring& name) {
    ScopedKey key;
    if (uint32_t error = Open(root, path, view64, KEY_ALL_ACCESS, key)) return error;
    return static_cast<uint32_t>(::RegDeleteValueW(key.Get(), name.c_str()));
}

}  // namespace platform::win32
