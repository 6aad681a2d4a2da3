// _Helper.dll: our stand-in for the protection core's installer library. It keeps whether the
// core is "installed" and "protected", the administrator password (as a SHA-256 hash) and the
// drive defaults in its own registry key, and locks password checking after three wrong entries
// until the next system start (the failure count lives in a volatile key).
#include <windows.h>
#include <wincrypt.h>

#include <cstdarg>
#include <cstdio>
#include <cwchar>
#include <mutex>
#include <string>

#include "outside/helper/HelperState.h"

namespace helper {

namespace {

constexpr wchar_t kStateKey[] = L"SOFTWARE\\Talvoric\\CorvaneHelper";
constexpr wchar_t kSessionKey[] = L"SOFTWARE\\Talvoric\\CorvaneHelper\\Session";
constexpr DWORD kMaxFailures = 3;
// Texts the installer shows from the message buffer.
constexpr wchar_t kWrongPassword[] = L"\uBE44\uBC00\uBC88\uD638\uAC00 \uC62C\uBC14\uB974\uC9C0 \uC54A\uC2B5\uB2C8\uB2E4.";  // 비밀번호가 올바르지 않습니다.
constexpr wchar_t kLocked[] = L"\uBE44\uBC00\uBC88\uD638\uAC00 \uC7A0\uACBC\uC2B5\uB2C8\uB2E4. PC\uB97C \uB2E4\uC2DC \uC2DC\uC791\uD558\uC2ED\uC2DC\uC624.";  // 비밀번호가 잠겼습니다. PC를 다시 시작하십시오.
constexpr wchar_t kAlreadyInstalled[] = L"\uC774\uBBF8 \uC124\uCE58\uB418\uC5B4 \uC788\uC2B5\uB2C8\uB2E4.";  // 이미 설치되어 있습니다.

HMODULE g_module = nullptr;
std::mutex g_logLock;

std::wstring Widen(const char* text) {
    if (!text) return L"(null)";
    int n = ::MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    if (n <= 0) return L"?";
    std::wstring out(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text, -1, &out[0], n);
    out.resize(static_cast<size_t>(n - 1));
    return out;
}

std::string Utf8(const std::wstring& text) {
    int n = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
    return out;
}

std::wstring Hash(const std::string& text) {
    HCRYPTPROV provider = 0;
    HCRYPTHASH hash = 0;
    std::wstring hex;
    if (::CryptAcquireContextW(&provider, nullptr, nullptr, PROV_RSA_AES, CRYPT_VERIFYCONTEXT)) {
        if (::CryptCreateHash(provider, CALG_SHA_256, 0, 0, &hash)) {
            static const char salt[] = "CorvaneHelper:";
            ::CryptHashData(hash, reinterpret_cast<const BYTE*>(salt), sizeof salt - 1, 0);
            ::CryptHashData(hash, reinterpret_cast<const BYTE*>(text.data()), static_cast<DWORD>(text.size()), 0);
            BYTE digest[32];
            DWORD size = sizeof digest;
            if (::CryptGetHashParam(hash, HP_HASHVAL, digest, &size, 0)) {
                wchar_t two[3];
                for (DWORD i = 0; i < size; ++i) { std::swprintf(two, 3, L"%02x", digest[i]); hex += two; }
            }
            ::CryptDestroyHash(hash);
        }
        ::CryptReleaseContext(provider, 0);
    }
    return hex;
}

std::wstring ReadText(const wchar_t* name) {
    wchar_t buffer[128] = {};
    DWORD size = sizeof buffer - sizeof(wchar_t);
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, kStateKey, name, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS)
        return std::wstring();
    return buffer;
}

DWORD SessionFailures() {
    DWORD value = 0, size = sizeof value;
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, kSessionKey, L"FailedChecks", RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS)
        return 0;
    return value;
}

void SetSessionFailures(DWORD value) {
    HKEY key = nullptr;
    // Volatile: gone at the next system start, which is what lifts the lock.
    if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kSessionKey, 0, nullptr, REG_OPTION_VOLATILE, KEY_SET_VALUE, nullptr, &key,
                          nullptr) != ERROR_SUCCESS)
        return;
    ::RegSetValueExW(key, L"FailedChecks", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    ::RegCloseKey(key);
}

// 1 correct, 0 wrong, -1 locked.
int VerifyPassword(const char* password) {
    if (SessionFailures() >= kMaxFailures) return -1;
    std::wstring stored = ReadText(L"PasswordHash");
    if (!stored.empty() && password && Hash(password) == stored) {
        SetSessionFailures(0);
        return 1;
    }
    DWORD failures = SessionFailures() + 1;
    SetSessionFailures(failures);
    return failures >= kMaxFailures ? -1 : 0;
}

void PutMessage(wchar_t* buffer, int chars, const wchar_t* text) {
    if (!buffer || chars <= 0) return;
    std::wcsncpy(buffer, text, static_cast<size_t>(chars - 1));
    buffer[chars - 1] = L'\0';
}

}  // namespace

HMODULE Module() { return g_module; }

void LogCall(const wchar_t* format, ...) {
    wchar_t line[1024];
    va_list args;
    va_start(args, format);
    std::vswprintf(line, 1024, format, args);
    va_end(args);
    wchar_t path[MAX_PATH] = {};
    DWORD n = ::GetModuleFileNameW(g_module, path, MAX_PATH);
    std::wstring file(path, n);
    file = file.substr(0, file.rfind(L'\\') + 1) + L"_Helper.log";
    std::string bytes = Utf8(line) + "\r\n";
    std::lock_guard<std::mutex> guard(g_logLock);
    HANDLE h = ::CreateFileW(file.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(h);
}

DWORD ReadNumber(const wchar_t* name, DWORD fallback) {
    DWORD value = 0, size = sizeof value;
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, kStateKey, name, RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS)
        return fallback;
    return value;
}

bool WriteNumber(const wchar_t* name, DWORD value) {
    return ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, kStateKey, name, REG_DWORD, &value, sizeof value) == ERROR_SUCCESS;
}

bool WriteText(const wchar_t* name, const std::wstring& value) {
    return ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, kStateKey, name, REG_SZ, value.c_str(),
                             static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

}  // namespace helper

using helper::LogCall;

#define HELPER_EXPORT extern "C" __declspec(dllexport)

HELPER_EXPORT int __cdecl InitCorvane(int reserved, int allDriveProtect, int protectSystemDrive, int automaticRestore) {
    // A deployment that leaves the core to someone else sets SkipMode; 0 tells the installer so.
    int result = helper::ReadNumber(L"SkipMode", 0) != 0 ? 0 : 1;
    LogCall(L"InitCorvane(%d, %d, %d, %d) -> %d", reserved, allDriveProtect, protectSystemDrive, automaticRestore, result);
    return result;
}

HELPER_EXPORT int __cdecl CorvaneDefaultCfg(int allDriveProtect, int protectSystemDrive, int automaticRestore) {
    bool ok = helper::WriteNumber(L"AllDriveProtect", static_cast<DWORD>(allDriveProtect)) &&
              helper::WriteNumber(L"ProtectSystemDrive", static_cast<DWORD>(protectSystemDrive)) &&
              helper::WriteNumber(L"AutomaticRestore", static_cast<DWORD>(automaticRestore));
    LogCall(L"CorvaneDefaultCfg(%d, %d, %d) -> %d", allDriveProtect, protectSystemDrive, automaticRestore, ok ? 1 : 0);
    return ok ? 1 : 0;
}

HELPER_EXPORT int __cdecl IsCorvaneInstalled() {
    int result = helper::ReadNumber(L"Installed", 0) != 0 ? 1 : 0;
    LogCall(L"IsCorvaneInstalled() -> %d", result);
    return result;
}

HELPER_EXPORT int __cdecl IsCorvaneProtect() {
    int result = helper::ReadNumber(L"Installed", 0) != 0 && helper::ReadNumber(L"Protected", 0) != 0 ? 1 : 0;
    LogCall(L"IsCorvaneProtect() -> %d", result);
    return result;
}

HELPER_EXPORT int __cdecl CheckPassword(const char* password) {
    int result = helper::VerifyPassword(password);
    LogCall(L"CheckPassword(\"%ls\") -> %d", helper::Widen(password).c_str(), result);
    return result;
}

HELPER_EXPORT int __cdecl ChangeSupervisor(const char* password, wchar_t* message, int messageChars, int reserved) {
    int check = helper::VerifyPassword(password);
    int result = 0;
    if (check == 1) {
        helper::WriteNumber(L"Protected", 0);
        result = 1;
    } else {
        helper::PutMessage(message, messageChars, check < 0 ? helper::kLocked : helper::kWrongPassword);
    }
    LogCall(L"ChangeSupervisor(\"%ls\", buffer, %d, %d) -> %d", helper::Widen(password).c_str(), messageChars, reserved, result);
    return result;
}

HELPER_EXPORT int __cdecl InstallCorvane(wchar_t* message, int messageChars, int dosMem, int dosMemFix, int recovSol,
                                         int notTurbobootInst, int productVersion, const char* reserved,
                                         const wchar_t* adminPassword, int reserved2) {
    int result = 0;
    if (helper::ReadNumber(L"Installed", 0) != 0) {
        helper::PutMessage(message, messageChars, helper::kAlreadyInstalled);
    } else {
        std::wstring password = adminPassword ? adminPassword : L"";
        result = helper::WriteText(L"PasswordHash", helper::Hash(helper::Utf8(password))) &&
                 helper::WriteNumber(L"DosMem", static_cast<DWORD>(dosMem)) &&
                 helper::WriteNumber(L"DosMemFix", static_cast<DWORD>(dosMemFix)) &&
                 helper::WriteNumber(L"RecovSol", static_cast<DWORD>(recovSol)) &&
                 helper::WriteNumber(L"NotTurbobootInst", static_cast<DWORD>(notTurbobootInst)) &&
                 helper::WriteNumber(L"ProductVersion", static_cast<DWORD>(productVersion)) &&
                 helper::WriteNumber(L"Protected", 1) && helper::WriteNumber(L"Installed", 1)
                     ? 1 : 0;
    }
    LogCall(L"InstallCorvane(buffer, %d, %d, %d, %d, %d, 0x%08X, \"%ls\", \"%ls\", %d) -> %d", messageChars, dosMem,
            dosMemFix, recovSol, notTurbobootInst, productVersion, helper::Widen(reserved).c_str(),
            adminPassword ? adminPassword : L"(null)", reserved2, result);
    return result;
}

HELPER_EXPORT int __cdecl UninstallCorvane(const char* password, wchar_t* message, int messageChars) {
    int check = helper::VerifyPassword(password);
    int result = 0;
    if (check == 1) {
        result = helper::WriteNumber(L"Protected", 0) && helper::WriteNumber(L"Installed", 0) ? 1 : 0;
    } else {
        helper::PutMessage(message, messageChars, check < 0 ? helper::kLocked : helper::kWrongPassword);
    }
    LogCall(L"UninstallCorvane(\"%ls\", buffer, %d) -> %d", helper::Widen(password).c_str(), messageChars, result);
    return result;
}

HELPER_EXPORT int __cdecl FirewallRemoveApp(const wchar_t* record) {
    LogCall(L"FirewallRemoveApp(\"%ls\") -> 1", record ? record : L"(null)");
    return 1;
}

HELPER_EXPORT int __cdecl FirewallAddApp(const wchar_t* record) {
    LogCall(L"FirewallAddApp(\"%ls\") -> 1", record ? record : L"(null)");
    return 1;
}

HELPER_EXPORT int __cdecl IsRunning() {
    LogCall(L"IsRunning() -> 0");
    return 0;
}

HELPER_EXPORT int __cdecl NoDrivesUpdate() {
    LogCall(L"NoDrivesUpdate() -> 1");
    return 1;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        helper::g_module = instance;
        ::DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}
