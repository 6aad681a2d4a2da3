// In-memory machine for the installer's system questions: folders, a settable clock, drive
// letters with their type, and disk/volume devices whose answers a test chooses.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "platform/memory/FaultInjector.h"
#include "platform/ports/SystemFacts.h"

namespace platform::memory {

// What a device path answers. error 0 = the call succeeds.
struct MemoryDeviceSpec {
    uint32_t openError = 0;
    uint32_t ioctlError = 0;
    int32_t partitionStyle = 0;
    uint16_t compressionFormat = 0;
};

class MemorySystemFacts : public platform::ISystemFacts {
public:
    std::wstring tempFolder = L"C:\\Users\\admin\\AppData\\Local\\Temp\\";
    std::wstring systemFolder = L"C:\\Windows\\system32";
    uint32_t tick = 100000;
    std::map<wchar_t, uint32_t> driveTypes;                 // absent letters: DRIVE_NO_ROOT_DIR (1)
    std::map<std::wstring, MemoryDeviceSpec> devices;       // by path, compared without case
    std::map<std::wstring, uint32_t> attributes;            // GetFileAttributesW answers
    std::map<std::wstring, uint32_t> attributeErrors;       // ... or failures
    uint32_t lastError = 0;

    // A fixed drive with an uncompressed root, the usual case.
    void AddFixedDrive(wchar_t letter);

    std::wstring TempFolder() override { return tempFolder; }
    std::wstring SystemFolder() override { return systemFolder; }
    uint32_t TickCount() override { return tick; }
    uint32_t DriveType(wchar_t letter) override;
    std::unique_ptr<platform::IDevice> OpenDisk(const std::wstring& path, uint32_t& error) override;
    std::unique_ptr<platform::IDevice> OpenRoot(const std::wstring& path, uint32_t& error) override;
    bool FileAttributes(const std::wstring& path, uint32_t& attributes, uint32_t& error) override;
    void SetLastError(uint32_t error) override { lastError = error; }

    std::map<std::wstring, int> opens;  // how often each path was opened

private:
    std::unique_ptr<platform::IDevice> Open(const std::wstring& path, uint32_t& error);
};

}  // namespace platform::memory
