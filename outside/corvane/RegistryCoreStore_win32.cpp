#include "outside/corvane/RegistryCoreStore_win32.h"

#include <cstring>

namespace corvane_core {

using platform::win32::ScopedKey;

namespace {

constexpr wchar_t kMutexName[] = L"CorvaneCoreStateLock";
constexpr wchar_t kStateValue[] = L"State";
constexpr wchar_t kWrongValue[] = L"WrongPasswords";

LSTATUS OpenKey(const wchar_t* path, REGSAM access, ScopedKey& key) {
    return ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, access, key.Receive());
}

// Wine's own helper to map a DOS path to the host's; absent on Windows.
bool IsHostRoot(wchar_t letter) {
    using UnixNameFn = char* (CDECL*)(LPCWSTR);
    HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    auto unixName = kernel ? reinterpret_cast<UnixNameFn>(::GetProcAddress(kernel, "wine_get_unix_file_name")) : nullptr;
    if (unixName == nullptr) return false;
    wchar_t root[] = {letter, L':', L'\\', 0};
    char* name = unixName(root);
    if (name == nullptr) return false;
    bool isRoot = std::strcmp(name, "/") == 0;
    ::HeapFree(::GetProcessHeap(), 0, name);
    return isRoot;
}

}  // namespace

RegistryCoreStore::RegistryCoreStore() : mutex_(::CreateMutexW(nullptr, FALSE, kMutexName)) {}

bool RegistryCoreStore::Lock() {
    if (!mutex_) return false;
    DWORD wait = ::WaitForSingleObject(mutex_.Get(), 30000);
    // An owner that died mid-update left nothing half-written (Save is one value write).
    return wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
}

void RegistryCoreStore::Unlock() { ::ReleaseMutex(mutex_.Get()); }

ICoreStore::LoadResult RegistryCoreStore::Load(std::vector<uint8_t>& bytes) {
    ScopedKey key;
    LSTATUS rc = OpenKey(kCoreKeyPath, KEY_QUERY_VALUE, key);
    if (rc == ERROR_FILE_NOT_FOUND) return LoadResult::Missing;
    if (rc != ERROR_SUCCESS) return LoadResult::Failed;
    DWORD type = 0;
    DWORD size = 0;
    rc = ::RegQueryValueExW(key.Get(), kStateValue, nullptr, &type, nullptr, &size);
    if (rc == ERROR_FILE_NOT_FOUND) return LoadResult::Missing;
    if (rc != ERROR_SUCCESS || type != REG_BINARY) return LoadResult::Failed;
    bytes.assign(size, 0);
    rc = ::RegQueryValueExW(key.Get(), kStateValue, nullptr, &type, bytes.data(), &size);
    if (rc != ERROR_SUCCESS) return LoadResult::Failed;
    bytes.resize(size);
    return LoadResult::Ok;
}

bool RegistryCoreStore::Save(const std::vector<uint8_t>& bytes) {
    ScopedKey key;
    if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kCoreKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_SET_VALUE, nullptr, key.Receive(), nullptr) != ERROR_SUCCESS)
        return false;
    return ::RegSetValueExW(key.Get(), kStateValue, 0, REG_BINARY, bytes.data(),
                            static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
}

bool RegistryCoreStore::Erase() {
    ScopedKey key;
    LSTATUS rc = OpenKey(kCoreKeyPath, KEY_SET_VALUE, key);
    if (rc == ERROR_FILE_NOT_FOUND) return true;
    if (rc != ERROR_SUCCESS) return false;
    rc = ::RegDeleteValueW(key.Get(), kStateValue);
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

bool RegistryCoreStore::SessionExists(bool& exists) {
    ScopedKey key;
    LSTATUS rc = OpenKey(kSessionKeyPath, KEY_QUERY_VALUE, key);
    exists = rc == ERROR_SUCCESS;
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

bool RegistryCoreStore::CreateSession() {
    ScopedKey parent;
    if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kCoreKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_CREATE_SUB_KEY, nullptr, parent.Receive(), nullptr) != ERROR_SUCCESS)
        return false;
    ScopedKey session;
    return ::RegCreateKeyExW(parent.Get(), L"Session", 0, nullptr, REG_OPTION_VOLATILE, KEY_SET_VALUE,
                             nullptr, session.Receive(), nullptr) == ERROR_SUCCESS;
}

bool RegistryCoreStore::ReadWrongPasswords(uint32_t& count) {
    ScopedKey key;
    LSTATUS rc = OpenKey(kSessionKeyPath, KEY_QUERY_VALUE, key);
    if (rc != ERROR_SUCCESS) return false;
    DWORD value = 0;
    DWORD size = sizeof value;
    DWORD type = 0;
    rc = ::RegQueryValueExW(key.Get(), kWrongValue, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    if (rc == ERROR_FILE_NOT_FOUND) { count = 0; return true; }
    if (rc != ERROR_SUCCESS || type != REG_DWORD) return false;
    count = value;
    return true;
}

bool RegistryCoreStore::WriteWrongPasswords(uint32_t count) {
    ScopedKey key;
    if (OpenKey(kSessionKeyPath, KEY_SET_VALUE, key) != ERROR_SUCCESS) return false;
    DWORD value = count;
    return ::RegSetValueExW(key.Get(), kWrongValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                            sizeof value) == ERROR_SUCCESS;
}

corvane_ioctl::CORVANE_SYSTEMTIME Win32CoreSystem::Now() {
    SYSTEMTIME st;
    ::GetLocalTime(&st);
    corvane_ioctl::CORVANE_SYSTEMTIME t;
    static_assert(sizeof t == sizeof st, "SYSTEMTIME layout");
    std::memcpy(&t, &st, sizeof t);
    return t;
}

std::vector<FixedDrive> Win32CoreSystem::FixedDrives() {
    std::vector<FixedDrive> drives;
    for (wchar_t letter = L'C'; letter <= L'Z'; ++letter) {
        wchar_t root[] = {letter, L':', L'\\', 0};
        if (::GetDriveTypeW(root) != DRIVE_FIXED || IsHostRoot(letter)) continue;
        ULARGE_INTEGER total{};
        if (!::GetDiskFreeSpaceExW(root, nullptr, &total, nullptr)) total.QuadPart = 0;
        drives.push_back({static_cast<char>(letter), total.QuadPart});
    }
    return drives;
}

}  // namespace corvane_core
