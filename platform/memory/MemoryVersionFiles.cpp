#include "platform/memory/MemoryVersionFiles.h"

#include "platform/ports/TextCodec.h"

namespace platform::memory {

namespace {
constexpr uint32_t kErrorResourceTypeNotFound = 1813;
constexpr char kBlockMark[] = "memory-version:";
}  // namespace

bool MemoryVersionFiles::List(const std::wstring& pattern, std::vector<platform::VersionFileEntry>& entries) {
    const std::wstring suffix = L"\\*.*";
    if (pattern.size() < suffix.size() || pattern.compare(pattern.size() - suffix.size(), suffix.size(), suffix) != 0)
        return false;
    auto it = folders.find(pattern.substr(0, pattern.size() - suffix.size()));
    if (it == folders.end()) return false;
    entries = {{L".", true, false}, {L"..", true, false}};
    entries.insert(entries.end(), it->second.begin(), it->second.end());
    return true;
}

uint32_t MemoryVersionFiles::InfoSize(const std::wstring& path, uint32_t& error) {
    auto it = resources.find(path);
    if (it == resources.end()) { error = kErrorResourceTypeNotFound; return 0; }
    if (it->second.sizeError) { error = it->second.sizeError; return 0; }
    return static_cast<uint32_t>(sizeof kBlockMark + platform::text::ToUtf8(path).size());
}

bool MemoryVersionFiles::Read(const std::wstring& path, std::vector<uint8_t>& block) {
    auto it = resources.find(path);
    if (it == resources.end() || it->second.readFails) return false;
    std::string bytes = kBlockMark + platform::text::ToUtf8(path);
    block.assign(bytes.begin(), bytes.end());
    return true;
}

const MemoryVersionResource* MemoryVersionFiles::FromBlock(const std::vector<uint8_t>& block) const {
    std::string bytes(block.begin(), block.end());
    if (bytes.rfind(kBlockMark, 0) != 0) return nullptr;
    std::wstring path;
    if (!platform::text::FromUtf8(bytes.substr(sizeof kBlockMark - 1), path)) return nullptr;
    auto it = resources.find(path);
    return it == resources.end() ? nullptr : &it->second;
}

bool MemoryVersionFiles::QueryRoot(const std::vector<uint8_t>& block, uint32_t& versionMs, uint32_t& versionLs) {
    const MemoryVersionResource* r = FromBlock(block);
    if (!r || !r->hasRoot) return false;
    versionMs = r->versionMs;
    versionLs = r->versionLs;
    return true;
}

bool MemoryVersionFiles::QueryTranslations(const std::vector<uint8_t>& block,
                                           std::vector<std::pair<uint16_t, uint16_t>>& pairs) {
    const MemoryVersionResource* r = FromBlock(block);
    if (!r || r->translations.empty()) return false;
    pairs = r->translations;
    return true;
}

bool MemoryVersionFiles::QueryString(const std::vector<uint8_t>& block, const std::wstring& subBlock, std::wstring& value) {
    queries.push_back(subBlock);
    const MemoryVersionResource* r = FromBlock(block);
    if (!r) return false;
    auto it = r->strings.find(subBlock);
    if (it == r->strings.end()) return false;
    value = it->second;
    return true;
}

}  // namespace platform::memory
