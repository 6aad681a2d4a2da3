// The working of corvane.dll, free of Windows: the operations of the core interface over a
// persistent state, with the rules the control program relies on.
//
//  - Password: the default administrator password is "bramble" (the installer's default).
//    HashPassword is FNV-1a (32-bit) over the UTF-16 code units of the text.
//  - Lockout: every wrong hash given to VerifyPassword, ChangePassword, SetProtectMode or
//    SetConfig counts; the third one and every later check (the right one too) fail with
//    CORVANE_E_PASSWORD_LOCKED until the next system start. The counter lives in the session,
//    so every process sees it and a restart clears it.
//  - Stamp: SetConfig and the extended-data calls must carry the current status stamp, else
//    they fail with CORVANE_E_STALE_STAMP (0x80000005). Only an accepted SetConfig moves the
//    stamp on: the pages write the extended block or switch the protect mode between reading
//    the status and sending the configuration, and must not be refused for it.
//  - SetConfig applies options and schedule at once; drive changes (restore in use, automatic,
//    present) and the requests for a restore point or a restore wait for the next start. Until
//    then GetConfig shows the configuration as it will be, GetStatus the one in force.
//  - SetProtectMode: modes 1 (release) and 2 (one-day release) take effect at the next start,
//    as the release page tells the administrator; mode 0 cancels a pending release or ends the
//    release in force at the next start; mode 3 (turbo set-up) has the boot cache rebuilt after
//    the next start. The latest mode asked for wins.
//  - CORVANE_STATUS_MBR_REGENERATED stays set until the next start (the restart it asks for).
//  - A one-day release ends one day after the start at which it came into force, checked at
//    every start and every GetStatus.
//  - At a start without release: drives in automatic restore are restored (their restore time
//    becomes the start time); drives in manual restore are restored when the schedule is due on
//    the first start of a day (weekday fields and the daily value 0x3FFF / 0x1555 alike, every N
//    days counted from the last scheduled restore, or days of the month, where a day beyond the
//    month's end falls on its last day).
#pragma once

#include <cstdint>
#include <functional>

#include "control/core/CorvaneInterface.h"
#include "control/core/CorvaneRecords.h"
#include "outside/corvane/CoreState.h"
#include "outside/corvane/CoreStore.h"

namespace corvane_core {

constexpr uint32_t kDefaultCacheRating = 850;

class CoreEngine {
public:
    CoreEngine(ICoreStore& store, ICoreSystem& system) : store_(store), system_(system) {}

    // Each operation returns CORVANE_S_OK or the result code the caller keeps for GetLastResult.
    uint32_t GetStatus(corvane_ioctl::CORVANE_STATUS& status);
    uint32_t GetConfig(corvane_ioctl::CORVANE_CONFIG& config);
    uint32_t SetConfig(const corvane_ioctl::CORVANE_CONFIG& config);
    uint32_t VerifyPassword(uint32_t hash);
    uint32_t ChangePassword(uint32_t oldHash, uint32_t newHash);
    uint32_t SetProtectMode(uint32_t hash, int32_t mode);
    uint32_t ReadExtData(CORVANE_EXTDATA& ext);
    uint32_t WriteExtData(const CORVANE_EXTDATA& ext);
    uint32_t CreateCache(CorvaneCacheCallback callback);
    uint32_t DeleteCache();

    static uint32_t HashPassword(const wchar_t* password);
    static uint32_t DefaultPasswordHash();

    // Test-tool access that bypasses the password: edit the state as it is after start
    // processing, or set the session's wrong-password count, or forget everything.
    uint32_t Preset(const std::function<void(CoreState&)>& edit);
    uint32_t PresetWrongPasswords(uint32_t count);
    uint32_t Reset();
    // Reads the state (after start processing) without changing anything else.
    uint32_t Inspect(CoreState& state, uint32_t& wrongPasswords);

    // A fresh state for this machine: its fixed drives protected with automatic restore.
    CoreState DefaultState();

private:
    // Runs `op` under the store lock on the loaded state, after start processing; saves the
    // state when `op` reports a change.
    uint32_t Run(const std::function<uint32_t(CoreState&, bool& changed)>& op);
    uint32_t CheckPassword(uint32_t hash, const CoreState& state);
    void ApplyStart(CoreState& state, const corvane_ioctl::CORVANE_SYSTEMTIME& now);
    bool ExpireDayRelease(CoreState& state, const corvane_ioctl::CORVANE_SYSTEMTIME& now);
    static bool ScheduleDue(const CoreState& state, const corvane_ioctl::CORVANE_SYSTEMTIME& now);

    ICoreStore& store_;
    ICoreSystem& system_;
};

}  // namespace corvane_core
