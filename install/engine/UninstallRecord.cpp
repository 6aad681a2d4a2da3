#include "install/engine/UninstallRecord.h"

#include "platform/ports/TextCodec.h"

namespace install {

bool FitsRecordFile(const UninstallRecord& record) {
    return platform::text::ToUtf16(record.text).size() <= kMaxRecordTextUnits;
}

namespace {

void AppendRecordBytes(const UninstallRecord& record, std::vector<uint8_t>& bytes) {
    std::u16string units = platform::text::ToUtf16(record.text);
    if (units.size() > kMaxRecordTextUnits) return;
    bytes.push_back(record.kind);
    bytes.push_back(static_cast<uint8_t>(units.size() & 0xFF));
    bytes.push_back(static_cast<uint8_t>(units.size() >> 8));
    for (char16_t unit : units) {
        bytes.push_back(static_cast<uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<uint8_t>(unit >> 8));
    }
}

}  // namespace

std::vector<uint8_t> EncodeRecords(const UninstallRecordList& records, bool newestFirst) {
    std::vector<uint8_t> bytes;
    if (newestFirst) {
        for (auto it = records.rbegin(); it != records.rend(); ++it) AppendRecordBytes(*it, bytes);
    } else {
        for (const auto& record : records) AppendRecordBytes(record, bytes);
    }
    return bytes;
}

UninstallRecordList DecodeRecords(const uint8_t* data, size_t size) {
    UninstallRecordList records;
    size_t at = 0;
    while (size - at >= 3) {
        uint8_t kind = data[at];
        size_t units = static_cast<size_t>(data[at + 1]) | (static_cast<size_t>(data[at + 2]) << 8);
        if ((size - at - 3) / 2 < units) break;  // short text: the record is incomplete
        std::u16string text(units, u'\0');
        const uint8_t* p = data + at + 3;
        for (size_t i = 0; i < units; ++i) text[i] = static_cast<char16_t>(p[2 * i] | (p[2 * i + 1] << 8));
        records.push_back({kind, platform::text::FromUtf16(text)});
        at += 3 + 2 * units;
    }
    return records;
}

void WriteRecordFile(platform::IFiles& files, const std::wstring& path, const UninstallRecordList& records) {
    files.RemoveFile(path);
    files.CreateNew(path, EncodeRecords(records, true));
}

void ReadRecordFile(platform::IFiles& files, const std::wstring& path, UninstallRecordList& records) {
    records.clear();
    std::vector<uint8_t> bytes;
    if (files.ReadAll(path, bytes) != 0) return;
    records = DecodeRecords(bytes.data(), bytes.size());
}

bool AppendRecordFile(platform::IFiles& files, const std::wstring& path, const UninstallRecordList& records) {
    return files.Append(path, EncodeRecords(records, false)) == 0;
}

std::wstring GetInstallValue(platform::IRegistry& registry, const std::wstring& keyName, const std::wstring& valueName) {
    const std::wstring installKey = L"\\Install\\" + keyName + L" Uninstall";
    for (const wchar_t* vendor : {L"Software\\Talvoric", L"Software\\Brenlowe"}) {
        uint32_t type = 0;
        std::vector<uint8_t> data;
        if (registry.QueryValue(platform::kHkeyLocalMachine, vendor + installKey, false, valueName, type, data) == 0 &&
            (type == platform::kRegSz || type == platform::kRegExpandSz)) {
            return platform::RegBytesToString(data);
        }
    }
    uint32_t type = 0;
    std::vector<uint8_t> data;
    const std::wstring section = std::wstring(kApplicationProfileKey) + L"\\" + keyName + L" Uninstall";
    if (registry.QueryValue(platform::kHkeyCurrentUser, section, false, valueName, type, data) == 0 &&
        (type == platform::kRegSz || type == platform::kRegExpandSz)) {
        return platform::RegBytesToString(data);
    }
    return L"";
}

}  // namespace install
