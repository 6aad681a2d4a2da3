// In-memory model of the private-profile functions over files held as bytes, following what
// Windows (and Wine) do: a UTF-16LE or UTF-8 byte-order mark selects the encoding, otherwise the
// bytes are taken as UTF-8 when valid and as Latin-1 when not (standing in for the ANSI code
// page); lines end at '\n'; blanks, CR and ^Z around lines, names and values are ignored; "[x]"
// up to the last ']' starts a section; only the first section of a name is searched and the
// first key of a name in it wins; a line without '=' has no value; ';' lines are just keys no
// lookup asks for.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/memory/FaultInjector.h"
#include "platform/ports/Profile.h"

namespace platform::memory {

struct IniKey {
    std::wstring name;
    bool hasValue = false;
    std::wstring value;
};

struct IniSection {
    std::wstring name;  // empty for the lines before the first section header
    std::vector<IniKey> keys;
};

enum class IniEncoding { Ansi, Utf8Bom, Utf16Le };

struct IniDocument {
    IniEncoding encoding = IniEncoding::Ansi;
    std::vector<IniSection> sections;

    static IniDocument Parse(const std::string& bytes);
    std::string Serialize() const;
    // Null when absent; follows the first-section-only rule.
    const IniKey* Find(const std::wstring& section, const std::wstring& key) const;
    void Set(const std::wstring& section, const std::wstring& key, const std::wstring& value);
};

// Value as GetPrivateProfileStringW hands it out: quotes stripped, cut to bufferChars - 1.
std::wstring ProfileValueForBuffer(const std::wstring& value, size_t bufferChars);

class MemoryProfile : public platform::IProfile {
public:
    void SetFile(const std::wstring& path, const std::string& bytes);
    void RemoveFile(const std::wstring& path);
    // False when there is no such file.
    bool GetFile(const std::wstring& path, std::string& bytes) const;

    std::wstring ReadString(const std::wstring& file, const std::wstring& section, const std::wstring& key,
                            const std::wstring& fallback, size_t bufferChars) override;
    bool WriteString(const std::wstring& file, const std::wstring& section, const std::wstring& key,
                     const std::wstring& value) override;
    bool FileExists(const std::wstring& file) override;

    // Operations "ReadString", "WriteString": a failing read acts as an unreadable file.
    FaultInjector faults;

private:
    static std::wstring Normalize(const std::wstring& path);
    std::map<std::wstring, std::string> files_;
};

}  // namespace platform::memory
