#include "platform/memory/MemorySystemFacts.h"

#include <cwctype>

namespace platform::memory {

namespace {
constexpr uint32_t kErrorFileNotFound = 2;
constexpr uint32_t kDriveNoRootDir = 1;

std::wstring Upper(const std::wstring& s) {
    std::wstring out;
    for (wchar_t c : s) out.push_back(static_cast<wchar_t>(std::towupper(c)));
    return out;
}

class MemoryDevice : public platform::IDevice {
public:
    explicit MemoryDevice(MemoryDeviceSpec spec) : spec_(spec) {}
    bool PartitionStyle(int32_t& style, uint32_t& error) override {
        if (spec_.ioctlError) { error = spec_.ioctlError; return false; }
        style = spec_.partitionStyle;
        return true;
    }
    bool CompressionFormat(uint16_t& format, uint32_t& error) override {
        if (spec_.ioctlError) { error = spec_.ioctlError; return false; }
        format = spec_.compressionFormat;
        return true;
    }

private:
    MemoryDeviceSpec spec_;
};
}  // namespace

void MemorySystemFacts::AddFixedDrive(wchar_t letter) {
    driveTypes[letter] = platform::kDriveFixed;
    devices[std::wstring(1, letter) + L":\\"] = MemoryDeviceSpec{};
}

uint32_t MemorySystemFacts::DriveType(wchar_t letter) {
    auto it = driveTypes.find(static_cast<wchar_t>(std::towupper(letter)));
    return it == driveTypes.end() ? kDriveNoRootDir : it->second;
}

std::unique_ptr<platform::IDevice> MemorySystemFacts::Open(const std::wstring& path, uint32_t& error) {
    ++opens[path];
    for (const auto& [name, spec] : devices) {
        if (Upper(name) != Upper(path)) continue;
        if (spec.openError) { error = spec.openError; return nullptr; }
        return std::make_unique<MemoryDevice>(spec);
    }
    error = kErrorFileNotFound;
    return nullptr;
}

std::unique_ptr<platform::IDevice> MemorySystemFacts::OpenDisk(const std::wstring& path, uint32_t& error) {
    return Open(path, error);
}

std::unique_ptr<platform::IDevice> MemorySystemFacts::OpenRoot(const std::wstring& path, uint32_t& error) {
    return Open(path, error);
}

bool MemorySystemFacts::FileAttributes(const std::wstring& path, uint32_t& value, uint32_t& error) {
    auto failed = attributeErrors.find(path);
    if (failed != attributeErrors.end()) { error = failed->second; return false; }
    auto it = attributes.find(path);
    value = it == attributes.end() ? 0x10u : it->second;  // FILE_ATTRIBUTE_DIRECTORY for a root
    return true;
}

}  // namespace platform::memory
