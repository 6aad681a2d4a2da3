// Result codes that corvane.dll leaves behind for GetLastResult. The display texts live with
// the result table; these are the values the program and the library compare against.
#pragma once

#include <cstdint>

constexpr uint32_t CORVANE_S_OK = 0x00000000;
constexpr uint32_t CORVANE_E_NOT_INITIALIZED = 0x40000000;
constexpr uint32_t CORVANE_E_UNKNOWN = 0x80000000;
constexpr uint32_t CORVANE_E_INVALID_ARGUMENT = 0x80000002;
constexpr uint32_t CORVANE_E_CALL_FAILED = 0x80000003;
constexpr uint32_t CORVANE_E_STALE_STAMP = 0x80000005;      // "wrong key": the stamp is out of date
constexpr uint32_t CORVANE_E_WRONG_PASSWORD = 0x80000006;
constexpr uint32_t CORVANE_E_PASSWORD_LOCKED = 0x80000007;
constexpr uint32_t CORVANE_E_UNKNOWN_MODE = 0x80000009;
constexpr uint32_t CORVANE_E_UNKNOWN_DATA = 0x8000000A;
constexpr uint32_t CORVANE_E_DATA_CORRUPTED = 0x8000000B;
constexpr uint32_t CORVANE_E_DATA_UNREADABLE = 0x8000000C;
constexpr uint32_t CORVANE_E_RELEASED = 0x8000000E;
constexpr uint32_t CORVANE_E_TURBO_UNAVAILABLE = 0x80000010;
