// The binary contract between the control program and corvane.dll. Both sides include this
// header and are built with the same compiler (i686 mingw-w64), so the table of virtual
// functions is laid out identically on both sides.
//
// ABI rules kept here on purpose:
//  - The interfaces have NO virtual destructor: a destructor would take one or two slots and
//    shift every operation. The library frees its objects itself in CorvaneDelete.
//  - Slot order is fixed; unused slots are kept as placeholders that are never called.
//  - Every slot and both exports use CORVANE_CALL (__stdcall on 32-bit Windows).
//  - The exports are plain C names: the DLL is linked with --kill-at, so
//    GetProcAddress(module, "CorvaneCreate") finds them without "@N" decoration.
#pragma once

#include <cstdint>

#include "control/core/CorvaneRecords.h"

#if defined(_WIN32) && !defined(_WIN64)
#define CORVANE_CALL __stdcall
#else
#define CORVANE_CALL
#endif

// Called by the library while it builds the boot cache; the program's answers true.
using CorvaneCacheCallback = bool (*)();

class ICorvaneControl {
public:
    virtual uint32_t CORVANE_CALL GetLastResult() = 0;                                     // 0
    virtual bool CORVANE_CALL GetStatus(corvane_ioctl::CORVANE_STATUS* status) = 0;         // 1
    virtual bool CORVANE_CALL GetConfig(corvane_ioctl::CORVANE_CONFIG* config) = 0;         // 2
    virtual bool CORVANE_CALL SetConfig(const corvane_ioctl::CORVANE_CONFIG* config) = 0;   // 3
    virtual bool CORVANE_CALL VerifyPassword(uint32_t hash) = 0;                            // 4
    virtual bool CORVANE_CALL ChangePassword(uint32_t oldHash, uint32_t newHash) = 0;       // 5
    virtual void CORVANE_CALL Reserved6() = 0;                                              // 6
    virtual bool CORVANE_CALL SetProtectMode(uint32_t hash, int32_t mode) = 0;              // 7
    virtual bool CORVANE_CALL ReadExtData(CORVANE_EXTDATA* ext) = 0;                        // 8
    virtual bool CORVANE_CALL WriteExtData(const CORVANE_EXTDATA* ext) = 0;                 // 9
    virtual bool CORVANE_CALL CreateCache(CorvaneCacheCallback callback, int32_t reserved) = 0; // 10
    virtual bool CORVANE_CALL DeleteCache() = 0;                                            // 11

protected:
    ~ICorvaneControl() = default;
};

class ICorvanePasswordHash {
public:
    virtual void CORVANE_CALL Reserved0() = 0;                                              // 0
    virtual void CORVANE_CALL Reserved1() = 0;                                              // 1
    virtual uint32_t CORVANE_CALL HashPassword(const wchar_t* password) = 0;                // 2

protected:
    ~ICorvanePasswordHash() = default;
};

// The core object handed out by CorvaneCreate: the two interfaces of one library instance.
struct CORVANE_CORE {
    ICorvaneControl* control;
    ICorvanePasswordHash* passwordHash;
};

// Modes of SetProtectMode.
constexpr int32_t CORVANE_MODE_PROTECT = 0;
constexpr int32_t CORVANE_MODE_RELEASE = 1;
constexpr int32_t CORVANE_MODE_DAY_RELEASE = 2;
constexpr int32_t CORVANE_MODE_TURBO_SETUP = 3;

using CorvaneCreateFn = CORVANE_CORE* (CORVANE_CALL*)(void);
using CorvaneDeleteFn = void (CORVANE_CALL*)(CORVANE_CORE*);

extern "C" {
CORVANE_CORE* CORVANE_CALL CorvaneCreate(void);
void CORVANE_CALL CorvaneDelete(CORVANE_CORE* core);
}
