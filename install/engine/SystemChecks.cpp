#include "install/engine/SystemChecks.h"

#include <string>
#include <vector>

namespace install {

namespace {
std::wstring RootOf(wchar_t letter) { return std::wstring(1, letter) + L":\\"; }
}  // namespace

bool SystemChecks::CheckPartitionStyle(int32_t& style) {
    std::wstring system = facts_.SystemFolder();
    std::vector<std::wstring> candidates;
    if (!system.empty()) candidates.push_back(L"\\\\.\\" + std::wstring(1, system[0]) + L":");
    candidates.push_back(L"\\\\.\\PhysicalDrive0");

    bool anyOpened = false;
    uint32_t queryError = 0;
    std::wstring lastPath;
    uint32_t openError = 0;
    for (const std::wstring& path : candidates) {
        lastPath = path;
        std::unique_ptr<platform::IDevice> disk = facts_.OpenDisk(path, openError);
        if (!disk) continue;
        anyOpened = true;
        int32_t found = 0;
        bool ok = disk->PartitionStyle(found, queryError);
        disk.reset();
        if (ok) {
            log_.Write(L"Partition style is %d\n", found);
            style = found;
            return true;
        }
        log_.Write(L"DeviceIoControl IOCTL_DISK_GET_PARTITION_INFO_EX : %d", static_cast<int>(queryError));
        // A system drive that will not answer may still sit on a first disk that does.
    }
    if (!anyOpened) {
        log_.Write(L"Partition Open Error : %ls %d\n", lastPath.c_str(), static_cast<int>(openError));
        return false;
    }
    if (queryError == kErrorNotSupported || queryError == kErrorInvalidFunction) {
        // The disk is there but keeps no partition table its driver will describe (a drive backed
        // by a folder, as under Wine, or some virtual disks): that is what RAW means.
        log_.Write(L"\nPartition information not supported, taking style %d\n", kPartitionStyleRaw);
        style = kPartitionStyleRaw;
        return true;
    }
    return false;
}

Compression SystemChecks::CheckCompressed(wchar_t letter) {
    std::wstring root = RootOf(letter);
    uint32_t error = 0;
    if (std::unique_ptr<platform::IDevice> volume = facts_.OpenRoot(root, error)) {
        uint16_t format = 0;
        if (volume->CompressionFormat(format, error))
            return format != 0 ? Compression::Compressed : Compression::None;
        log_.Write(L"Failed to device io control : %d\n", static_cast<int>(error));
    } else {
        log_.Write(L"Failed to open file : %ls - %d\n", root.c_str(), static_cast<int>(error));
    }
    uint32_t attributes = 0;
    if (!facts_.FileAttributes(root, attributes, error)) {
        log_.Write(L"Failed to get file attributes : %ls - %d\n", root.c_str(), static_cast<int>(error));
        return Compression::Undetermined;
    }
    return (attributes & kFileAttributeCompressed) != 0 ? Compression::Compressed : Compression::None;
}

bool SystemChecks::FindCompressedVolume(UserMessage& message) {
    for (wchar_t letter = L'A'; letter <= L'Z'; ++letter) {
        if (!IsFixed(letter)) continue;
        Compression state = CheckCompressed(letter);
        if (state == Compression::Undetermined)
            log_.Write(L"Failed to determine %ls is compressed or not\n", RootOf(letter).c_str());
        if (state == Compression::None) continue;
        message = UserMessage{IDS_COMPRESSED_VOLUME, kStyleError};
        facts_.SetLastError(kErrorBadEnvironment);
        return true;
    }
    return false;
}

int SystemChecks::CountFixedDrives() {
    int count = 0;
    for (wchar_t letter = L'C'; letter <= L'Z'; ++letter) {
        if (!IsFixed(letter)) continue;
        log_.Write(L"Drive Letter %ls\n", RootOf(letter).c_str());
        ++count;
    }
    return count;
}

wchar_t SystemChecks::NthFixedDrive(int n) {
    if (n < 0 || n >= CountFixedDrives()) return 0;
    std::vector<wchar_t> fixed;
    for (wchar_t letter = L'A'; letter <= L'Z'; ++letter)
        if (IsFixed(letter)) fixed.push_back(letter);
    return static_cast<size_t>(n) < fixed.size() ? fixed[static_cast<size_t>(n)] : 0;
}

bool SystemChecks::CheckProtectableDrives(int linkTargetDrive, UserMessage& message) {
    if (linkTargetDrive >= CountFixedDrives()) {
        message = UserMessage{IDS_NO_PROTECTABLE_DRIVE, kStyleError};
        return false;
    }
    return true;
}

}  // namespace install
