// What the installer asks about the machine: well-known folders, the system timer, drive types,
// and the volume and disk queries of the system checks. Errors are Windows error codes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace platform {

inline constexpr uint32_t kDriveFixed = 3;  // DRIVE_FIXED

// An open volume or disk device (CreateFileW on "\\.\C:", "\\.\PhysicalDrive0" or "C:\").
class IDevice {
public:
    virtual ~IDevice() = default;
    // IOCTL_DISK_GET_PARTITION_INFO_EX: the PartitionStyle field (0 MBR, 1 GPT, 2 RAW).
    virtual bool PartitionStyle(int32_t& style, uint32_t& error) = 0;
    // FSCTL_GET_COMPRESSION: the volume's 16-bit compression format, 0 = none.
    virtual bool CompressionFormat(uint16_t& format, uint32_t& error) = 0;
};

class ISystemFacts {
public:
    virtual ~ISystemFacts() = default;

    // GetTempPathW: ends with a backslash.
    virtual std::wstring TempFolder() = 0;
    // GetSystemDirectoryW, e.g. "C:\Windows\system32".
    virtual std::wstring SystemFolder() = 0;
    // timeGetTime: milliseconds, wrapping at 2^32.
    virtual uint32_t TickCount() = 0;

    // GetDriveTypeW of the root "X:\".
    virtual uint32_t DriveType(wchar_t letter) = 0;
    // Read and write access, sharing read and write, existing only: for "\\.\C:" and
    // "\\.\PhysicalDrive0". Null and the error on failure.
    virtual std::unique_ptr<IDevice> OpenDisk(const std::wstring& path, uint32_t& error) = 0;
    // Read access, sharing read and write, existing only: for a drive root "C:\".
    virtual std::unique_ptr<IDevice> OpenRoot(const std::wstring& path, uint32_t& error) = 0;
    // GetFileAttributesW; false and the error on failure.
    virtual bool FileAttributes(const std::wstring& path, uint32_t& attributes, uint32_t& error) = 0;

    // SetLastError on the calling thread, for results that carry their reason there.
    virtual void SetLastError(uint32_t error) = 0;
};

}  // namespace platform
