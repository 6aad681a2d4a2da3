#include "install/app/FileVersionInfo.h"

#include <cwchar>
#include <cwctype>
#include <new>
#include <vector>

#include "platform/ports/TextCodec.h"

namespace install {

namespace {

constexpr const wchar_t* kStringNames[kVersionStringCount] = {
    L"CompanyName", L"FileDescription", L"FileVersion", L"InternalName", L"LegalCopyright",
    L"LegalTrademarks1", L"LegalTrademarks2", L"OriginalFilename", L"ProductName", L"ProductVersion"};
constexpr const wchar_t* kLogFormats[kVersionStringCount] = {
    L"Company Name : %ls (%d)\n", L"File Description : %ls (%d)\n", L"File Version : %ls (%d)\n",
    L"Internal Name : %ls (%d)\n", L"LegalCopyright : %ls (%d)\n", L"LegalTrademarks1 : %ls (%d)\n",
    L"LegalTrademarks2 : %ls (%d)\n", L"Original File Name : %ls (%d)\n", L"Product Name : %ls (%d)\n",
    L"Product Version : %ls (%d)\n"};
constexpr size_t kMaxQueryUnits = 259;

void FillDefaultRecord(const std::wstring& path, FileVersionInfo& record) {
    std::wstring fileName = path.substr(path.rfind(L'\\') == std::wstring::npos ? 0 : path.rfind(L'\\') + 1);
    record.major = 1;
    record.minor = 0;
    record.build = 2017;
    record.revision = 113;
    record.strings[0] = {L"TALVORIC", L"HDD Corvane 9", L"9.0.47", fileName,
                         L"Copyright (C) Talvoric. All rights reserved.", L"LegalTrademarks1", L"LegalTrademarks2",
                         fileName, L"HDD Corvane 9", L"9.0.47"};
}

bool SameFileName(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::towupper(a[i]) != std::towupper(b[i])) return false;
    return true;
}

wchar_t HexDigit(unsigned v) { return static_cast<wchar_t>(v < 10 ? L'0' + v : L'a' + v - 10); }

std::wstring Hex4(uint16_t v) {
    std::wstring s;
    for (int shift = 12; shift >= 0; shift -= 4) s.push_back(HexDigit((v >> shift) & 0xF));
    return s;
}

}  // namespace

bool ReadFileVersionInfo(platform::IVersionFiles& files, platform::ILog& log, const std::wstring& path,
                         FileVersionInfo& record) {
    uint32_t error = 0;
    uint32_t size = files.InfoSize(path, error);
    if (size == 0) {
        log.Write(L"FileVerInfo:GetFileVersionInfoSize fail (%d)\n", static_cast<int>(error));
        if (error != kErrorResourceTypeNotFound && error != kErrorResourceDataNotFound) return false;
        FillDefaultRecord(path, record);
        return true;
    }
    std::vector<uint8_t> block;
    try {
        block.resize(size);
    } catch (const std::bad_alloc&) {
        log.Write(L"FileVerInfo::GetFileVersionInfoSize Alloc fail (%d) \n", static_cast<int>(size));
        return false;
    }
    if (!files.Read(path, block)) {
        log.Write(L"FileVerInfo::GetFileVersionInfo fail\n");
        return false;
    }
    uint32_t ms = 0, ls = 0;
    if (files.QueryRoot(block, ms, ls)) {
        record.major = static_cast<uint16_t>(ms >> 16);
        record.minor = static_cast<uint16_t>(ms & 0xFFFF);
        record.build = static_cast<uint16_t>(ls >> 16);
        record.revision = static_cast<uint16_t>(ls & 0xFFFF);
    }
    std::vector<std::pair<uint16_t, uint16_t>> pairs;
    if (files.QueryTranslations(block, pairs)) {
        for (size_t i = 0; i < pairs.size(); ++i) {
            std::array<std::wstring, kVersionStringCount>& entry = record.strings[static_cast<int>(i)];
            for (int n = 0; n < kVersionStringCount; ++n) {
                std::wstring query = L"\\StringFileInfo\\" + Hex4(pairs[i].first) + Hex4(pairs[i].second) + L"\\" + kStringNames[n];
                std::wstring value;
                if (query.size() <= kMaxQueryUnits && files.QueryString(block, query, value)) entry[n] = value;
                else entry[n].clear();
            }
            for (int n = 0; n < kVersionStringCount; ++n) {
                if (entry[n].empty()) continue;
                log.Write(kLogFormats[n], entry[n].c_str(), static_cast<int>(platform::text::ToUtf16(entry[n]).size()));
            }
        }
    }
    return true;
}

bool FindProductVersion(platform::IVersionFiles& files, platform::ILog& log, const std::wstring& folder,
                        const std::wstring& fileName, std::wstring& productVersion) {
    std::vector<platform::VersionFileEntry> entries;
    if (!files.List(folder + L"\\*.*", entries)) return false;
    for (const platform::VersionFileEntry& entry : entries) {
        std::wstring full = folder + L"\\" + entry.name;
        if (entry.directory) {
            if (entry.name == L"." || entry.name == L".." || entry.reparsePoint) continue;
            if (FindProductVersion(files, log, full, fileName, productVersion)) return true;
            continue;
        }
        if (!SameFileName(entry.name, fileName)) continue;
        log.Write(L"Product File : %ls\n", full.c_str());
        FileVersionInfo info;
        if (!ReadFileVersionInfo(files, log, full, info)) continue;
        if (!info.strings.empty()) {
            productVersion = info.strings.begin()->second[kProductVersion];
            log.Write(L"Product Version : %ls\n", productVersion.c_str());
        }
        return true;
    }
    return false;
}

std::wstring VersionBoxText(const std::wstring& productDisplayName, const std::wstring& productVersion) {
    std::wstring text = L"Program Version : " + std::wstring(kInstallerVersion) + L"\n";
    if (!productVersion.empty()) text += L"\n" + productDisplayName + L" Version : " + productVersion;
    return text;
}

}  // namespace install
