#include "outside/corvane/CoreState.h"

#include <cstring>

namespace corvane_core {
namespace {

constexpr uint32_t kMagic = 0x53435643;  // "CVCS"
constexpr uint32_t kVersion = 1;

class Writer {
public:
    void U8(uint8_t v) { bytes.push_back(v); }
    void U16(uint16_t v) { for (int i = 0; i < 2; ++i) U8(static_cast<uint8_t>(v >> (8 * i))); }
    void U32(uint32_t v) { for (int i = 0; i < 4; ++i) U8(static_cast<uint8_t>(v >> (8 * i))); }
    void U64(uint64_t v) { for (int i = 0; i < 8; ++i) U8(static_cast<uint8_t>(v >> (8 * i))); }
    void Time(const CORVANE_SYSTEMTIME& t) {
        for (uint16_t v : {t.wYear, t.wMonth, t.wDayOfWeek, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds})
            U16(v);
    }
    std::vector<uint8_t> bytes;
};

class Reader {
public:
    explicit Reader(const std::vector<uint8_t>& b) : bytes_(b) {}
    bool ok() const { return ok_; }
    bool AtEnd() const { return pos_ == bytes_.size(); }
    uint8_t U8() {
        if (pos_ >= bytes_.size()) { ok_ = false; return 0; }
        return bytes_[pos_++];
    }
    uint16_t U16() { uint16_t v = 0; for (int i = 0; i < 2; ++i) v |= static_cast<uint16_t>(U8() << (8 * i)); return v; }
    uint32_t U32() { uint32_t v = 0; for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(U8()) << (8 * i); return v; }
    uint64_t U64() { uint64_t v = 0; for (int i = 0; i < 8; ++i) v |= static_cast<uint64_t>(U8()) << (8 * i); return v; }
    CORVANE_SYSTEMTIME Time() {
        CORVANE_SYSTEMTIME t;
        t.wYear = U16(); t.wMonth = U16(); t.wDayOfWeek = U16(); t.wDay = U16();
        t.wHour = U16(); t.wMinute = U16(); t.wSecond = U16(); t.wMilliseconds = U16();
        return t;
    }

private:
    const std::vector<uint8_t>& bytes_;
    size_t pos_ = 0;
    bool ok_ = true;
};

}  // namespace

std::vector<uint8_t> EncodeState(const CoreState& s) {
    Writer w;
    w.U32(kMagic);
    w.U32(kVersion);
    w.U32(s.statusFlags);
    w.U32(s.stamp);
    w.U32(s.cacheRating);
    w.U32(s.passwordHash);
    w.U32(s.options);
    w.U8(s.scheduleFlags);
    w.U16(s.scheduleWeekdays);
    w.U64(s.scheduleMonthDays);
    w.U16(s.scheduleInterval);
    for (const DriveState& d : s.drives) {
        w.U32(d.flags);
        w.U64(d.backupSize);
        w.U64(d.backupFree);
        w.Time(d.restorePointTime);
        w.Time(d.restoreTime);
        w.U32(d.pendingMask);
        w.U32(d.pendingFlags);
        w.U32(d.pendingRequests);
    }
    const uint8_t* ext = reinterpret_cast<const uint8_t*>(&s.ext);
    w.bytes.insert(w.bytes.end(), ext, ext + sizeof s.ext);
    w.U32(static_cast<uint32_t>(s.pendingMode));
    w.Time(s.releaseStart);
    w.Time(s.lastStart);
    w.Time(s.lastScheduledRestore);
    return w.bytes;
}

bool DecodeState(const std::vector<uint8_t>& bytes, CoreState& out) {
    Reader r(bytes);
    if (r.U32() != kMagic || r.U32() != kVersion) return false;
    CoreState s;
    s.statusFlags = r.U32();
    s.stamp = r.U32();
    s.cacheRating = r.U32();
    s.passwordHash = r.U32();
    s.options = r.U32();
    s.scheduleFlags = r.U8();
    s.scheduleWeekdays = r.U16();
    s.scheduleMonthDays = r.U64();
    s.scheduleInterval = r.U16();
    for (DriveState& d : s.drives) {
        d.flags = r.U32();
        d.backupSize = r.U64();
        d.backupFree = r.U64();
        d.restorePointTime = r.Time();
        d.restoreTime = r.Time();
        d.pendingMask = r.U32();
        d.pendingFlags = r.U32();
        d.pendingRequests = r.U32();
    }
    uint8_t* ext = reinterpret_cast<uint8_t*>(&s.ext);
    for (size_t i = 0; i < sizeof s.ext; ++i) ext[i] = r.U8();
    int32_t mode = static_cast<int32_t>(r.U32());
    s.releaseStart = r.Time();
    s.lastStart = r.Time();
    s.lastScheduledRestore = r.Time();
    if (!r.ok() || !r.AtEnd() || mode < -1 || mode > 3) return false;
    s.pendingMode = static_cast<PendingMode>(mode);
    out = s;
    return true;
}

int64_t DayNumber(const CORVANE_SYSTEMTIME& t) {
    // Days from civil date (proleptic Gregorian), after H. Hinnant's public algorithm.
    int64_t y = t.wYear;
    int64_t m = t.wMonth;
    int64_t d = t.wDay;
    y -= m <= 2;
    int64_t era = (y >= 0 ? y : y - 399) / 400;
    int64_t yoe = y - era * 400;
    int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

int64_t SecondNumber(const CORVANE_SYSTEMTIME& t) {
    return DayNumber(t) * 86400 + t.wHour * 3600 + t.wMinute * 60 + t.wSecond;
}

int DayOfWeek(const CORVANE_SYSTEMTIME& t) {
    int64_t days = DayNumber(t);  // 1970-01-01 was a Thursday
    return static_cast<int>(((days % 7) + 11) % 7);
}

int DaysInMonth(int year, int month) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 31;
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

bool IsZeroTime(const CORVANE_SYSTEMTIME& t) {
    return t.wYear == 0 && t.wMonth == 0 && t.wDay == 0;
}

}  // namespace corvane_core
