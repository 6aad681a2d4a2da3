// Result codes that corvane.dll leaves behind for GetLastResult. The display texts live with
// the result table; these are the values the program and the library compare against.
#pragma once

#include <cstdint>

constexpr uint32_t CORVANE_S_OK = 0x00000000;
constexpr uint32_t CORVANE_E_NOT_INITIALIZED = 0x40000000;
constexpr uint32_t CORVANE_E_UNKNOWN = 0x80000000;
constexpr uint32_t CORVANE_E_UNKNOWN_COMMAND = 0x80000001;
constexpr uint32_t CORVANE_E_INVALID_ARGUMENT = 0x80000002;
constexpr uint32_t CORVANE_E_CALL_FAILED = 0x80000003;
constexpr uint32_t CORVANE_E_NOT_READY = 0x80000004;
constexpr uint32_t CORVANE_E_STALE_STAMP = 0x80000005;      // "wrong key": the stamp is out of date
constexpr uint32_t CORVANE_E_WRONG_PASSWORD = 0x80000006;
constexpr uint32_t CORVANE_E_PASSWORD_LOCKED = 0x80000007;
constexpr uint32_t CORVANE_E_WRONG_KEY = 0x80000008;
constexpr uint32_t CORVANE_E_UNKNOWN_MODE = 0x80000009;
constexpr uint32_t CORVANE_E_UNKNOWN_DATA = 0x8000000A;
constexpr uint32_t CORVANE_E_DATA_CORRUPTED = 0x8000000B;
constexpr uint32_t CORVANE_E_DATA_UNREADABLE = 0x8000000C;
constexpr uint32_t CORVANE_E_DATA_SIZE = 0x8000000D;
constexpr uint32_t CORVANE_E_RELEASED = 0x8000000E;
constexpr uint32_t CORVANE_E_COLLECTING_BOOT_INFO = 0x8000000F;
constexpr uint32_t CORVANE_E_TURBO_UNAVAILABLE = 0x80000010;
constexpr uint32_t CORVANE_E_KEY_REJECTED = 0x80000011;

// Installation and boot-record failures.
constexpr uint32_t CORVANE_E_DISK_DRIVER_INSTALL = 0x10000001;
constexpr uint32_t CORVANE_E_FS_DRIVER_INSTALL = 0x10000002;
constexpr uint32_t CORVANE_E_DISK_OPEN = 0x10000003;
constexpr uint32_t CORVANE_E_INSTALL_DATA_READ = 0x10000004;
constexpr uint32_t CORVANE_E_INSTALL_DATA_UNREADABLE = 0x10000005;
constexpr uint32_t CORVANE_E_MBR_READ = 0x10000006;
constexpr uint32_t CORVANE_E_MBR_WRITE = 0x10000007;
constexpr uint32_t CORVANE_E_BOOTLOADER_WRITE = 0x10000008;
constexpr uint32_t CORVANE_E_INSTALLER_NOT_READY = 0x10000009;
constexpr uint32_t CORVANE_E_DECOMPRESS = 0x1000000A;
constexpr uint32_t CORVANE_E_DEVICE_DRIVER_INSTALL = 0x1000000B;
