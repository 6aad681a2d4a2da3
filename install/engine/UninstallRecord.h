// Uninstall records: every change the installer makes is remembered as a kind and a text, kept in
// a list while installing and written to "Uninst.lst" at the end. Undoing a change is always the
// replay of its record (RecordReplay.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/ports/Files.h"
#include "platform/ports/Registry.h"

namespace install {

enum RecordKind : uint8_t {
    kRecordFolder = 0,
    kRecordFile = 1,
    kRecordVirtualDisk = 2,
    kRecordCore = 3,
    kRecordService = 4,
    kRecordFirewall = 5,
    kRecordExecute = 6,
    kRecordProfileSection = 7,
    kRecordRegistryKey = 8,
    kRecordRegistryValue = 9,
    kRecordNone = 10,
    kRecordProductFlag = 11,
    kRecordDriveList = 12,
    kRecordRegistryKey64 = 13,
    kRecordRegistryValue64 = 14,
    kRecordFolderNoRedirect = 15,
    kRecordFileNoRedirect = 16,
    kRecordNetworkFilter = 17,
    kRecordLastKnown = 17,
};

struct UninstallRecord {
    uint8_t kind = kRecordNone;
    std::wstring text;

    bool operator==(const UninstallRecord& o) const { return kind == o.kind && text == o.text; }
};

// In the order the changes were made; owned by the application object.
using UninstallRecordList = std::vector<UninstallRecord>;

constexpr const wchar_t* kRecordFileName = L"Uninst.lst";
// The file stores a text's length in 16 bits.
constexpr size_t kMaxRecordTextUnits = 0xFFFF;

// Whether the record can be stored in the file and read back as itself.
bool FitsRecordFile(const UninstallRecord& record);

// File bytes of `records`, newest first when `newestFirst` (the order the record file keeps).
// Records that do not fit the file are left out rather than stored cut short: a shortened
// path would name, and later remove, something else.
std::vector<uint8_t> EncodeRecords(const UninstallRecordList& records, bool newestFirst);

// Records back to back from the start of `data`; stops at the first record that is not complete
// and keeps the ones before it. Any byte sequence is accepted.
UninstallRecordList DecodeRecords(const uint8_t* data, size_t size);

// Replaces the file with the list, newest record first. Errors are not reported: a file that
// cannot be written simply holds no records for a later uninstall.
void WriteRecordFile(platform::IFiles& files, const std::wstring& path, const UninstallRecordList& records);

// Empties `records` and fills it from the file; a file that cannot be read gives an empty list.
void ReadRecordFile(platform::IFiles& files, const std::wstring& path, UninstallRecordList& records);

// Adds the records at the end of the file in list order (the update adds its changes this way).
// Creates the file when it is missing, so an update's changes are never lost.
bool AppendRecordFile(platform::IFiles& files, const std::wstring& path, const UninstallRecordList& records);

// "Path" or "InstallDirectory" of the product's install key, looked up in the Talvoric key, then
// the Brenlowe key (earlier versions), then the per-user application profile; empty when absent.
std::wstring GetInstallValue(platform::IRegistry& registry, const std::wstring& keyName, const std::wstring& valueName);

// The per-user application profile: HKEY_CURRENT_USER "Software\\Talvoric\\Install", one key per
// section.
constexpr const wchar_t* kApplicationProfileKey = L"Software\\Talvoric\\Install";

}  // namespace install
