#include "outside/corvane/CoreEngine.h"

#include <cstring>

#include "control/core/CorvaneResults.h"

namespace corvane_core {

using corvane_ioctl::CORVANE_CONFIG;
using corvane_ioctl::CORVANE_STATUS;
using corvane_ioctl::CORVANE_SYSTEMTIME;

namespace {

constexpr uint32_t kLockAfter = 3;
constexpr uint32_t kModeBits = CORVANE_DRIVE_RESTORE_USED | CORVANE_DRIVE_AUTO_RESTORE | CORVANE_DRIVE_PRESENT;
constexpr uint32_t kRequestBits = CORVANE_DRIVE_RESTORE_NOW | CORVANE_DRIVE_RESTORE_POINT;
constexpr uint16_t kMaxInterval = 365;
constexpr int64_t kOneDay = 86400;

class StoreLock {
public:
    explicit StoreLock(ICoreStore& store) : store_(store), locked_(store.Lock()) {}
    ~StoreLock() { if (locked_) store_.Unlock(); }
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;
    bool locked() const { return locked_; }

private:
    ICoreStore& store_;
    bool locked_;
};

// The drive flags as they will be after the next start (bit 7 stays as it is now, so the
// configuration and the status always list the same drives).
uint32_t FlagsAfterStart(const DriveState& d) {
    uint32_t changing = d.pendingMask & (CORVANE_DRIVE_RESTORE_USED | CORVANE_DRIVE_AUTO_RESTORE);
    return (d.flags & ~changing) | (d.pendingFlags & changing);
}

void Restored(DriveState& d, const CORVANE_SYSTEMTIME& now) {
    d.restoreTime = now;
    d.backupFree = d.backupSize;  // the kept-apart writes are thrown away
}

}  // namespace

uint32_t CoreEngine::HashPassword(const wchar_t* password) {
    uint32_t h = 2166136261u;
    auto feed = [&h](uint16_t unit) {
        for (int shift = 0; shift < 16; shift += 8) {
            h ^= static_cast<uint8_t>(unit >> shift);
            h *= 16777619u;
        }
    };
    for (const wchar_t* p = password; p != nullptr && *p != 0; ++p) {
        uint32_t c = static_cast<uint32_t>(*p);
        if (c > 0xFFFF && c <= 0x10FFFF) {  // 32-bit wchar_t: hash the UTF-16 surrogate pair
            c -= 0x10000;
            feed(static_cast<uint16_t>(0xD800 + (c >> 10)));
            feed(static_cast<uint16_t>(0xDC00 + (c & 0x3FF)));
        } else {
            feed(static_cast<uint16_t>(c));
        }
    }
    return h;
}

uint32_t CoreEngine::DefaultPasswordHash() { return HashPassword(L"bramble"); }

CoreState CoreEngine::DefaultState() {
    CoreState s;
    CORVANE_SYSTEMTIME now = system_.Now();
    s.statusFlags = CORVANE_STATUS_TURBO_AVAILABLE;
    s.passwordHash = DefaultPasswordHash();
    for (const FixedDrive& drive : system_.FixedDrives()) {
        if (drive.letter < 'A' || drive.letter > 'Z') continue;
        DriveState& d = s.drives[drive.letter - 'A'];
        d.flags = CORVANE_DRIVE_PRESENT | CORVANE_DRIVE_RESTORE_USED | CORVANE_DRIVE_AUTO_RESTORE;
        // A tenth of the drive for the backup area, between 1 GiB and 32 GiB.
        uint64_t size = drive.totalBytes / 10;
        if (size < (1ull << 30)) size = 1ull << 30;
        if (size > (32ull << 30)) size = 32ull << 30;
        d.backupSize = size;
        d.backupFree = size / 10 * 9;
        d.restorePointTime = now;
    }
    return s;
}

uint32_t CoreEngine::Run(const std::function<uint32_t(CoreState&, bool&)>& op) {
    StoreLock lock(store_);
    if (!lock.locked()) return CORVANE_E_CALL_FAILED;

    CoreState state;
    bool changed = false;
    std::vector<uint8_t> bytes;
    switch (store_.Load(bytes)) {
    case ICoreStore::LoadResult::Failed:
        return CORVANE_E_DATA_UNREADABLE;
    case ICoreStore::LoadResult::Missing:
        state = DefaultState();
        changed = true;
        break;
    case ICoreStore::LoadResult::Ok:
        // A damaged state is reported, never replaced by defaults: that would silently reset
        // the administrator password.
        if (!DecodeState(bytes, state)) return CORVANE_E_DATA_CORRUPTED;
        break;
    }

    bool sessionExists = false;
    if (!store_.SessionExists(sessionExists)) return CORVANE_E_CALL_FAILED;
    CORVANE_SYSTEMTIME now = system_.Now();
    if (!sessionExists) {
        // Carry out the start before marking it seen, so a failure here is retried next call.
        ApplyStart(state, now);
        if (!store_.Save(EncodeState(state))) return CORVANE_E_CALL_FAILED;
        if (!store_.CreateSession()) return CORVANE_E_CALL_FAILED;
        changed = false;
    }
    if (ExpireDayRelease(state, now)) changed = true;

    bool opChanged = false;
    uint32_t result = op(state, opChanged);
    if ((changed || opChanged) && !store_.Save(EncodeState(state))) return CORVANE_E_CALL_FAILED;
    return result;
}

bool CoreEngine::ExpireDayRelease(CoreState& s, const CORVANE_SYSTEMTIME& now) {
    if (!(s.statusFlags & CORVANE_STATUS_DAY_RELEASE)) return false;
    if (SecondNumber(now) < SecondNumber(s.releaseStart) + kOneDay) return false;
    s.statusFlags &= ~CORVANE_STATUS_DAY_RELEASE;
    return true;
}

bool CoreEngine::ScheduleDue(const CoreState& s, const CORVANE_SYSTEMTIME& now) {
    if (!(s.scheduleFlags & CORVANE_SCHEDULE_SET)) return false;
    if (!IsZeroTime(s.lastStart) && DayNumber(s.lastStart) == DayNumber(now)) return false;
    if (s.scheduleWeekdays != 0) {
        int shift = 12 - 2 * DayOfWeek(now);  // Sunday at bits 12-13 ... Saturday at 0-1
        return ((s.scheduleWeekdays >> shift) & 3) != 0;
    }
    if (s.scheduleInterval != 0) {
        if (IsZeroTime(s.lastScheduledRestore)) return true;
        return DayNumber(now) - DayNumber(s.lastScheduledRestore) >= s.scheduleInterval;
    }
    if (s.scheduleMonthDays != 0) {
        auto chosen = [&s](int day) { return ((s.scheduleMonthDays >> (2 * day)) & 3) != 0; };
        int today = now.wDay;
        if (today >= 1 && today <= 31 && chosen(today)) return true;
        if (today == DaysInMonth(now.wYear, now.wMonth))
            for (int day = today + 1; day <= 31; ++day)
                if (chosen(day)) return true;
    }
    return false;
}

void CoreEngine::ApplyStart(CoreState& s, const CORVANE_SYSTEMTIME& now) {
    for (int i = 0; i < static_cast<int>(CORVANE_DRIVE_COUNT); ++i) {
        DriveState& d = s.drives[i];
        d.flags = (d.flags & ~d.pendingMask) | (d.pendingFlags & d.pendingMask);
        if (!(d.flags & CORVANE_DRIVE_PRESENT)) {
            d = DriveState{};
            continue;
        }
        // The restore point keeps the state the administrator asked to keep, so it is taken
        // before any restore of the same start.
        if (d.pendingRequests & CORVANE_DRIVE_RESTORE_POINT) {
            d.restorePointTime = now;
            d.backupFree = d.backupSize;
        }
        if (d.pendingRequests & CORVANE_DRIVE_RESTORE_NOW) Restored(d, now);
        d.pendingMask = d.pendingFlags = d.pendingRequests = 0;
    }

    switch (s.pendingMode) {
    case PendingMode::Protect:
        s.statusFlags &= ~CORVANE_STATUS_ANY_RELEASE;
        break;
    case PendingMode::Release:
        s.statusFlags = (s.statusFlags & ~CORVANE_STATUS_ANY_RELEASE) | CORVANE_STATUS_RELEASE;
        break;
    case PendingMode::DayRelease:
        s.statusFlags = (s.statusFlags & ~CORVANE_STATUS_ANY_RELEASE) | CORVANE_STATUS_DAY_RELEASE;
        s.releaseStart = now;
        break;
    case PendingMode::TurboSetup:
        s.statusFlags &= ~(CORVANE_STATUS_CACHE_READY | CORVANE_STATUS_CACHE_BUILDING);
        s.cacheRating = 0;
        break;
    case PendingMode::None:
        break;
    }
    s.pendingMode = PendingMode::None;
    ExpireDayRelease(s, now);
    // The restart offered for a rebuilt boot record has now happened; offering it again at
    // every later program start would never end.
    s.statusFlags &= ~CORVANE_STATUS_MBR_REGENERATED;

    if (!(s.statusFlags & CORVANE_STATUS_ANY_RELEASE)) {
        bool due = ScheduleDue(s, now);
        for (DriveState& d : s.drives) {
            if (!(d.flags & CORVANE_DRIVE_PRESENT) || !(d.flags & CORVANE_DRIVE_RESTORE_USED)) continue;
            if ((d.flags & CORVANE_DRIVE_AUTO_RESTORE) || due) Restored(d, now);
        }
        if (due) s.lastScheduledRestore = now;
    }
    s.lastStart = now;
}

uint32_t CoreEngine::CheckPassword(uint32_t hash, const CoreState& state) {
    uint32_t wrong = 0;
    if (!store_.ReadWrongPasswords(wrong)) return CORVANE_E_CALL_FAILED;
    if (wrong >= kLockAfter) return CORVANE_E_PASSWORD_LOCKED;
    if (hash == state.passwordHash) return CORVANE_S_OK;
    ++wrong;
    if (!store_.WriteWrongPasswords(wrong)) return CORVANE_E_CALL_FAILED;
    return wrong >= kLockAfter ? CORVANE_E_PASSWORD_LOCKED : CORVANE_E_WRONG_PASSWORD;
}

uint32_t CoreEngine::GetStatus(CORVANE_STATUS& out) {
    return Run([&out](CoreState& s, bool&) {
        std::memset(&out, 0, sizeof out);
        out.flags = s.statusFlags & ~CORVANE_STATUS_RESTORE_IN_USE;
        out.stamp = s.stamp;
        out.cacheRating = s.cacheRating;
        for (uint32_t i = 0; i < CORVANE_DRIVE_COUNT; ++i) {
            const DriveState& d = s.drives[i];
            if (!(d.flags & CORVANE_DRIVE_PRESENT)) continue;
            auto& info = out.drives[i];
            info.letter = static_cast<uint8_t>('A' + i);
            info.flags = d.flags & kModeBits;
            info.backupSize = d.backupSize;
            info.backupFree = d.backupFree;
            info.restorePointTime = d.restorePointTime;
            info.restoreTime = d.restoreTime;
            if (d.flags & CORVANE_DRIVE_RESTORE_USED) out.flags |= CORVANE_STATUS_RESTORE_IN_USE;
        }
        return CORVANE_S_OK;
    });
}

uint32_t CoreEngine::GetConfig(CORVANE_CONFIG& out) {
    return Run([&out](CoreState& s, bool&) {
        std::memset(&out, 0, sizeof out);
        out.stamp = s.stamp;
        out.options = s.options;
        out.scheduleFlags = s.scheduleFlags;
        out.scheduleWeekdays = s.scheduleWeekdays;
        out.scheduleMonthDays = s.scheduleMonthDays;
        out.scheduleInterval = s.scheduleInterval;
        for (uint32_t i = 0; i < CORVANE_DRIVE_COUNT; ++i) {
            const DriveState& d = s.drives[i];
            if (!(d.flags & CORVANE_DRIVE_PRESENT)) continue;
            out.drives[i].flags = (FlagsAfterStart(d) & kModeBits) | d.pendingRequests;
        }
        return CORVANE_S_OK;
    });
}

uint32_t CoreEngine::SetConfig(const CORVANE_CONFIG& in) {
    CORVANE_SYSTEMTIME now = system_.Now();
    return Run([&](CoreState& s, bool& changed) {
        uint32_t result = CheckPassword(in.passwordHash, s);
        if (result != CORVANE_S_OK) return result;
        if (in.stamp != s.stamp) return CORVANE_E_STALE_STAMP;
        if ((in.changeFlags & CORVANE_CHANGE_SCHEDULE) && in.scheduleInterval > kMaxInterval)
            return CORVANE_E_INVALID_ARGUMENT;

        if (in.changeFlags & CORVANE_CHANGE_OPTIONS)
            s.options = (s.options & ~in.optionMask) | (in.options & in.optionMask);
        if (in.changeFlags & CORVANE_CHANGE_SCHEDULE) {
            s.scheduleFlags = in.scheduleFlags;
            s.scheduleWeekdays = in.scheduleWeekdays;
            s.scheduleMonthDays = in.scheduleMonthDays;
            s.scheduleInterval = in.scheduleInterval;
            s.lastScheduledRestore = now;  // "every N days" counts from the day it was set
        }
        if (in.changeFlags & CORVANE_CHANGE_DRIVES) {
            for (uint32_t i = 0; i < CORVANE_DRIVE_COUNT; ++i) {
                DriveState& d = s.drives[i];
                uint32_t modes = in.drives[i].mask & kModeBits;
                uint32_t requests = in.drives[i].mask & kRequestBits;
                d.pendingFlags = (d.pendingFlags & ~modes) | (in.drives[i].flags & modes);
                d.pendingMask |= modes;
                d.pendingRequests = (d.pendingRequests & ~requests) | (in.drives[i].flags & requests);
            }
        }
        s.stamp = s.stamp + 1 == 0 ? 1 : s.stamp + 1;
        changed = true;
        return CORVANE_S_OK;
    });
}

uint32_t CoreEngine::VerifyPassword(uint32_t hash) {
    return Run([&](CoreState& s, bool&) { return CheckPassword(hash, s); });
}

uint32_t CoreEngine::ChangePassword(uint32_t oldHash, uint32_t newHash) {
    return Run([&](CoreState& s, bool& changed) {
        uint32_t result = CheckPassword(oldHash, s);
        if (result != CORVANE_S_OK) return result;
        s.passwordHash = newHash;
        changed = true;
        return CORVANE_S_OK;
    });
}

uint32_t CoreEngine::SetProtectMode(uint32_t hash, int32_t mode) {
    return Run([&](CoreState& s, bool& changed) {
        uint32_t result = CheckPassword(hash, s);
        if (result != CORVANE_S_OK) return result;
        if (mode < CORVANE_MODE_PROTECT || mode > CORVANE_MODE_TURBO_SETUP) return CORVANE_E_UNKNOWN_MODE;
        s.pendingMode = static_cast<PendingMode>(mode);
        changed = true;
        return CORVANE_S_OK;
    });
}

uint32_t CoreEngine::ReadExtData(CORVANE_EXTDATA& io) {
    return Run([&io](CoreState& s, bool&) {
        if (io.kind != CORVANE_EXTDATA_KIND) return CORVANE_E_INVALID_ARGUMENT;
        if (io.stamp != s.stamp) return CORVANE_E_STALE_STAMP;
        io.data = s.ext;
        return CORVANE_S_OK;
    });
}

uint32_t CoreEngine::WriteExtData(const CORVANE_EXTDATA& in) {
    return Run([&in](CoreState& s, bool& changed) {
        if (in.kind != CORVANE_EXTDATA_KIND) return CORVANE_E_INVALID_ARGUMENT;
        if (in.stamp != s.stamp) return CORVANE_E_STALE_STAMP;
        s.ext = in.data;
        changed = true;
        return CORVANE_S_OK;
    });
}

uint32_t CoreEngine::CreateCache(CorvaneCacheCallback callback) {
    return Run([callback](CoreState& s, bool& changed) {
        if (s.statusFlags & CORVANE_STATUS_ANY_RELEASE) return CORVANE_E_RELEASED;
        if (!(s.statusFlags & CORVANE_STATUS_TURBO_AVAILABLE) || !(s.options & CORVANE_OPTION_TURBO_BOOT))
            return CORVANE_E_TURBO_UNAVAILABLE;
        if (callback != nullptr && !callback()) return CORVANE_E_CALL_FAILED;  // the caller gave up
        s.statusFlags = (s.statusFlags & ~CORVANE_STATUS_CACHE_BUILDING) | CORVANE_STATUS_CACHE_READY;
        s.cacheRating = kDefaultCacheRating;
        changed = true;
        return CORVANE_S_OK;
    });
}

uint32_t CoreEngine::DeleteCache() {
    return Run([](CoreState& s, bool& changed) {
        s.statusFlags &= ~(CORVANE_STATUS_CACHE_READY | CORVANE_STATUS_CACHE_BUILDING);
        s.cacheRating = 0;
        changed = true;
        return CORVANE_S_OK;
    });
}

uint32_t CoreEngine::Preset(const std::function<void(CoreState&)>& edit) {
    return Run([&edit](CoreState& s, bool& changed) {
        edit(s);
        changed = true;
        return CORVANE_S_OK;
    });
}

uint32_t CoreEngine::PresetWrongPasswords(uint32_t count) {
    return Run([this, count](CoreState&, bool&) {
        return store_.WriteWrongPasswords(count) ? CORVANE_S_OK : CORVANE_E_CALL_FAILED;
    });
}

uint32_t CoreEngine::Inspect(CoreState& out, uint32_t& wrongPasswords) {
    return Run([&](CoreState& s, bool&) {
        out = s;
        return store_.ReadWrongPasswords(wrongPasswords) ? CORVANE_S_OK : CORVANE_E_CALL_FAILED;
    });
}

uint32_t CoreEngine::Reset() {
    StoreLock lock(store_);
    if (!lock.locked() || !store_.Erase()) return CORVANE_E_CALL_FAILED;
    bool sessionExists = false;
    if (store_.SessionExists(sessionExists) && sessionExists) store_.WriteWrongPasswords(0);
    return CORVANE_S_OK;
}

}  // namespace corvane_core
