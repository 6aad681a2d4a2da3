#include "platform/memory/MemoryProfile.h"

#include "platform/ports/TextCodec.h"

namespace platform::memory {

namespace {

bool IsProfileSpace(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\v' || c == L'\f' || c == L'\r' || c == 0x1A;
}

wchar_t FoldCase(wchar_t c) {
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

bool SameName(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (FoldCase(a[i]) != FoldCase(b[i])) return false;
    return true;
}

std::wstring Trim(const std::wstring& s) {
    size_t begin = 0, end = s.size();
    while (begin < end && IsProfileSpace(s[begin])) ++begin;
    while (end > begin && IsProfileSpace(s[end - 1])) --end;
    return s.substr(begin, end - begin);
}

std::wstring Decode(const std::string& bytes, IniEncoding& encoding) {
    if (bytes.size() >= 3 && static_cast<uint8_t>(bytes[0]) == 0xEF && static_cast<uint8_t>(bytes[1]) == 0xBB &&
        static_cast<uint8_t>(bytes[2]) == 0xBF) {
        encoding = IniEncoding::Utf8Bom;
        std::wstring text;
        if (text::FromUtf8(bytes.substr(3), text)) return text;
        std::wstring partial;
        for (size_t i = 3; i < bytes.size(); ++i) partial.push_back(static_cast<unsigned char>(bytes[i]));
        return partial;
    }
    if (bytes.size() >= 2 && static_cast<uint8_t>(bytes[0]) == 0xFF && static_cast<uint8_t>(bytes[1]) == 0xFE) {
        encoding = IniEncoding::Utf16Le;
        std::u16string units;
        for (size_t i = 2; i + 1 < bytes.size(); i += 2)
            units.push_back(static_cast<char16_t>(static_cast<uint8_t>(bytes[i]) | (static_cast<uint8_t>(bytes[i + 1]) << 8)));
        return text::FromUtf16(units);
    }
    encoding = IniEncoding::Ansi;
    std::wstring text;
    if (text::FromUtf8(bytes, text)) return text;
    text.clear();
    for (char b : bytes) text.push_back(static_cast<unsigned char>(b));
    return text;
}

}  // namespace

IniDocument IniDocument::Parse(const std::string& bytes) {
    IniDocument doc;
    std::wstring text = Decode(bytes, doc.encoding);
    doc.sections.push_back(IniSection{});
    size_t pos = 0;
    while (pos < text.size()) {
        size_t newline = text.find(L'\n', pos);
        size_t lineEnd = newline == std::wstring::npos ? text.size() : newline;
        std::wstring line = Trim(text.substr(pos, lineEnd - pos));
        pos = newline == std::wstring::npos ? text.size() : newline + 1;
        if (line.empty()) continue;
        if (line[0] == L'[') {
            size_t close = line.rfind(L']');
            if (close != std::wstring::npos) {
                doc.sections.push_back(IniSection{line.substr(1, close - 1), {}});
                continue;
            }
            // No closing bracket: Windows keeps the line as a key of the current section.
        }
        IniKey key;
        size_t equals = line.find(L'=');
        if (equals == std::wstring::npos) {
            key.name = line;
        } else {
            key.name = Trim(line.substr(0, equals));
            key.hasValue = true;
            key.value = Trim(line.substr(equals + 1));
        }
        doc.sections.back().keys.push_back(std::move(key));
    }
    return doc;
}

std::string IniDocument::Serialize() const {
    std::wstring text;
    for (size_t i = 0; i < sections.size(); ++i) {
        const IniSection& section = sections[i];
        // A "[]" header after the first section is written too, so its keys stay apart.
        if (i > 0 || !section.name.empty()) text += L"\r\n[" + section.name + L"]\r\n";
        for (const IniKey& key : section.keys) {
            text += key.name;
            if (key.hasValue) text += L"=" + key.value;
            text += L"\r\n";
        }
    }
    switch (encoding) {
    case IniEncoding::Utf16Le:
        return std::string("\xFF\xFE") + text::ToUtf16LeBytes(text::ToUtf16(text));
    case IniEncoding::Utf8Bom:
        return std::string("\xEF\xBB\xBF") + text::ToUtf8(text);
    case IniEncoding::Ansi:
        break;
    }
    return text::ToUtf8(text);
}

const IniKey* IniDocument::Find(const std::wstring& section, const std::wstring& key) const {
    std::wstring wantedSection = Trim(section);
    std::wstring wantedKey = Trim(key);
    for (const IniSection& s : sections) {
        if (s.name.empty() || !SameName(s.name, wantedSection)) continue;
        for (const IniKey& k : s.keys)
            if (SameName(k.name, wantedKey)) return &k;
        return nullptr;  // only the first section of that name is searched
    }
    return nullptr;
}

void IniDocument::Set(const std::wstring& section, const std::wstring& key, const std::wstring& value) {
    std::wstring wantedSection = Trim(section);
    std::wstring wantedKey = Trim(key);
    size_t start = 0;
    while (start < value.size() && IsProfileSpace(value[start])) ++start;
    std::wstring stored = value.substr(start);
    for (IniSection& s : sections) {
        if (s.name.empty() || !SameName(s.name, wantedSection)) continue;
        for (IniKey& k : s.keys) {
            if (SameName(k.name, wantedKey)) {
                k.hasValue = true;
                k.value = stored;
                return;
            }
        }
        s.keys.push_back(IniKey{key, true, stored});
        return;
    }
    sections.push_back(IniSection{section, {IniKey{key, true, stored}}});
}

std::wstring ProfileValueForBuffer(const std::wstring& value, size_t bufferChars) {
    std::wstring v = value;
    if (v.size() >= 2 && (v[0] == L'"' || v[0] == L'\'') && v.back() == v[0]) v = v.substr(1, v.size() - 2);
    if (bufferChars == 0) return std::wstring();
    if (v.size() > bufferChars - 1) v.resize(bufferChars - 1);
    return v;
}

std::wstring MemoryProfile::Normalize(const std::wstring& path) {
    std::wstring out;
    for (wchar_t c : path) out.push_back(c == L'/' ? L'\\' : FoldCase(c));
    return out;
}

void MemoryProfile::SetFile(const std::wstring& path, const std::string& bytes) { files_[Normalize(path)] = bytes; }

void MemoryProfile::RemoveFile(const std::wstring& path) { files_.erase(Normalize(path)); }

bool MemoryProfile::GetFile(const std::wstring& path, std::string& bytes) const {
    auto it = files_.find(Normalize(path));
    if (it == files_.end()) return false;
    bytes = it->second;
    return true;
}

std::wstring MemoryProfile::ReadString(const std::wstring& file, const std::wstring& section, const std::wstring& key,
                                       const std::wstring& fallback, size_t bufferChars) {
    std::string bytes;
    if (faults.Check("ReadString") != 0 || !GetFile(file, bytes)) return ProfileValueForBuffer(fallback, bufferChars);
    IniDocument doc = IniDocument::Parse(bytes);
    const IniKey* found = doc.Find(section, key);
    return ProfileValueForBuffer(found && found->hasValue ? found->value : fallback, bufferChars);
}

bool MemoryProfile::WriteString(const std::wstring& file, const std::wstring& section, const std::wstring& key,
                                const std::wstring& value) {
    if (faults.Check("WriteString") != 0) return false;
    std::string bytes;
    IniDocument doc = GetFile(file, bytes) ? IniDocument::Parse(bytes) : IniDocument{};
    if (doc.sections.empty()) doc.sections.push_back(IniSection{});
    doc.Set(section, key, value);
    SetFile(file, doc.Serialize());
    return true;
}

bool MemoryProfile::FileExists(const std::wstring& file) { return files_.count(Normalize(file)) != 0; }

}  // namespace platform::memory
