// The registry as the installer engine sees it. Keys are named by a predefined root (the numeric
// value of HKEY_LOCAL_MACHINE and friends, as the uninstall records spell it) and a path below it;
// each call opens what it needs and closes it again, so no handle ever crosses this boundary.
// Every call returns the Windows error code (0 = success), exactly as the Reg* functions do.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

using RegRoot = uint32_t;
constexpr RegRoot kHkeyClassesRoot = 0x80000000u;
constexpr RegRoot kHkeyCurrentUser = 0x80000001u;
constexpr RegRoot kHkeyLocalMachine = 0x80000002u;
constexpr RegRoot kHkeyUsers = 0x80000003u;

constexpr uint32_t kRegSz = 1;
constexpr uint32_t kRegExpandSz = 2;
constexpr uint32_t kRegBinary = 3;
constexpr uint32_t kRegDword = 4;
constexpr uint32_t kRegMultiSz = 7;

// `view64` asks for the 64-bit view (KEY_WOW64_64KEY). Callers decide when to ask for it; the
// flag means nothing to a native 64-bit or a plain 32-bit Windows.
class IRegistry {
public:
    virtual ~IRegistry() = default;

    // Opens or creates `path` (non-volatile, all access). `created` tells whether the last
    // component is new. Missing intermediate keys are created too, as RegCreateKeyExW does.
    virtual uint32_t CreateKey(RegRoot root, const std::wstring& path, bool view64, bool& created) = 0;
    // 0 when the key can be opened with all access.
    virtual uint32_t OpenKey(RegRoot root, const std::wstring& path, bool view64) = 0;
    // Deletes one key that has no subkeys (ERROR_ACCESS_DENIED otherwise, as Windows answers).
    virtual uint32_t DeleteKey(RegRoot root, const std::wstring& path, bool view64) = 0;
    // Deletes a key with everything below it.
    virtual uint32_t DeleteTree(RegRoot root, const std::wstring& path, bool view64) = 0;
    virtual uint32_t HasSubkeys(RegRoot root, const std::wstring& path, bool view64, bool& has) = 0;
    // Writes into an existing key; never creates one. `data` is the raw value bytes.
    virtual uint32_t SetValue(RegRoot root, const std::wstring& path, bool view64, const std::wstring& name,
                              uint32_t type, const std::vector<uint8_t>& data) = 0;
    virtual uint32_t QueryValue(RegRoot root, const std::wstring& path, bool view64, const std::wstring& name,
                                uint32_t& type, std::vector<uint8_t>& data) = 0;
    virtual uint32_t DeleteValue(RegRoot root, const std::wstring& path, bool view64, const std::wstring& name) = 0;
};

// Registry byte forms of the two value types the installer writes. Strings are UTF-16LE with their
// terminating NUL, as REG_SZ is stored; DWORDs are little-endian.
std::vector<uint8_t> RegStringBytes(const std::wstring& text);
std::vector<uint8_t> RegDwordBytes(uint32_t value);
// Reads a REG_SZ/REG_EXPAND_SZ back, dropping the terminator and anything after it.
std::wstring RegBytesToString(const std::vector<uint8_t>& data);

}  // namespace platform
