// The checks the installer makes before it changes anything: the partition style of the system
// disk, compressed fixed drives, and whether there are enough fixed drives for the link targets
// of the restore-excluded folders. Messages are handed back as string ids for the view to show.
#pragma once

#include <cstdint>

#include "install/app/InstallStringIds.h"
#include "platform/ports/Log.h"
#include "platform/ports/SystemFacts.h"

namespace install {

inline constexpr uint32_t kErrorBadEnvironment = 10;        // ERROR_BAD_ENVIRONMENT
inline constexpr uint32_t kFileAttributeCompressed = 0x800; // FILE_ATTRIBUTE_COMPRESSED
inline constexpr uint32_t kErrorInvalidFunction = 1;
inline constexpr uint32_t kErrorNotSupported = 50;
inline constexpr int32_t kPartitionStyleRaw = 2;

enum class Compression { None, Compressed, Undetermined };

class SystemChecks {
public:
    SystemChecks(platform::ISystemFacts& facts, platform::ILog& log) : facts_(facts), log_(log) {}

    // The system volume's partition style (0 MBR, 1 GPT, 2 RAW), asked of the system drive and,
    // when it cannot be opened or does not answer, of the first physical disk. A disk that opens
    // but has no partition information to give counts as RAW. False when neither answers.
    bool CheckPartitionStyle(int32_t& style);

    // One drive root "X:\".
    Compression CheckCompressed(wchar_t letter);
    // Every fixed drive A: to Z:; true at the first compressed (or undetermined) one, with message
    // 250 to show and ERROR_BAD_ENVIRONMENT as the thread's last error.
    bool FindCompressedVolume(UserMessage& message);

    // Fixed drives among C: to Z:, each logged.
    int CountFixedDrives();
    // The letter of fixed drive n counted from A: (0-based), or 0 when n is not below the count
    // of CountFixedDrives.
    wchar_t NthFixedDrive(int n);
    // Enough fixed drives for LinkTargetDrive; else false with message 224.
    bool CheckProtectableDrives(int linkTargetDrive, UserMessage& message);

private:
    bool IsFixed(wchar_t letter) { return facts_.DriveType(letter) == platform::kDriveFixed; }

    platform::ISystemFacts& facts_;
    platform::ILog& log_;
};

}  // namespace install
