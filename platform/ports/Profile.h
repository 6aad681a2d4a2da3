// Private-profile (INI) files: GetPrivateProfileStringW / WritePrivateProfileStringW. Section and
// key names match without regard to case. Integer reading is left to the caller so that every
// platform applies the same decimal rule to the text it got.
#pragma once

#include <cstddef>
#include <string>

namespace platform {

class IProfile {
public:
    virtual ~IProfile() = default;

    // The value of `key` in `section` of `file`, or `fallback` when the file, the section or the
    // key is absent (a line without '=' names no value). Matching quotes around a value are
    // removed. At most bufferChars - 1 characters are returned, as with a buffer of that size.
    virtual std::wstring ReadString(const std::wstring& file, const std::wstring& section,
                                    const std::wstring& key, const std::wstring& fallback,
                                    size_t bufferChars) = 0;

    // Sets `key` in `section`, creating the file, section or key as needed.
    virtual bool WriteString(const std::wstring& file, const std::wstring& section,
                             const std::wstring& key, const std::wstring& value) = 0;

    virtual bool FileExists(const std::wstring& file) = 0;
};

}  // namespace platform
