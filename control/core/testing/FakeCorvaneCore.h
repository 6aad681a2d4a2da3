// An in-memory stand-in for corvane.dll for native tests of the pages: attach it with
//   FakeCorvaneCore fake; TheCorvaneCtrl().Attach(fake.Core(), nullptr);
// It keeps a status, a configuration and an extended block the test sets up, checks the
// password (default "bramble") with the library's lockout rule (three wrong hashes lock every
// check until SimulateRestart), records every call in order, and can be told to fail an
// operation with a given result code.
#pragma once

#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "control/core/CorvaneInterface.h"
#include "control/core/CorvaneRecords.h"
#include "control/core/CorvaneResults.h"

namespace corvane_testing {

class FakeCorvaneCore : public ICorvaneControl, public ICorvanePasswordHash {
public:
    struct Call {
        std::string op;     // "GetStatus", "SetConfig", "SetProtectMode", ...
        uint32_t hash = 0;  // password hash argument, where there is one
        int32_t mode = 0;   // SetProtectMode's mode, ChangePassword's new hash (as int)
    };

    FakeCorvaneCore() {
        std::memset(&status, 0, sizeof status);
        std::memset(&config, 0, sizeof config);
        std::memset(&ext, 0, sizeof ext);
        status.stamp = 1;
        core_.control = this;
        core_.passwordHash = this;
    }
    virtual ~FakeCorvaneCore() = default;
    FakeCorvaneCore(const FakeCorvaneCore&) = delete;
    FakeCorvaneCore& operator=(const FakeCorvaneCore&) = delete;

    CORVANE_CORE* Core() { return &core_; }

    // --- set-up -------------------------------------------------------------------------
    // Marks drive `letter` present in both records with `flags` (bit 7 is added).
    void AddDrive(char letter, uint32_t flags, uint64_t backupSize = 10000ull << 20,
                  uint64_t backupFree = 5000ull << 20) {
        int i = letter - 'A';
        status.drives[i].letter = static_cast<uint8_t>(letter);
        status.drives[i].flags = flags | CORVANE_DRIVE_PRESENT;
        status.drives[i].backupSize = backupSize;
        status.drives[i].backupFree = backupFree;
        config.drives[i].flags = flags | CORVANE_DRIVE_PRESENT;
    }
    // Makes `op` fail with `code` for the next `times` calls (-1: until cleared).
    void Fail(const std::string& op, uint32_t code, int times = -1) { failures_[op] = {code, times}; }
    void ClearFailures() { failures_.clear(); }
    // A new system start: the lockout counter is reset.
    void SimulateRestart() { wrongPasswords = 0; }

    // --- what a test inspects -----------------------------------------------------------
    size_t CountCalls(const std::string& op) const {
        size_t n = 0;
        for (const auto& c : calls) n += c.op == op;
        return n;
    }
    std::vector<std::string> CallNames() const {
        std::vector<std::string> names;
        for (const auto& c : calls) names.push_back(c.op);
        return names;
    }

    corvane_ioctl::CORVANE_STATUS status;
    corvane_ioctl::CORVANE_CONFIG config;
    CORVANE_EXTBLOCK ext;
    std::wstring password = L"bramble";
    int wrongPasswords = 0;
    int lockAfter = 3;
    bool checkStamp = true;         // SetConfig / ext data refuse a stamp other than status.stamp
    bool cacheCallbackAnswer = false;
    std::vector<Call> calls;
    std::vector<corvane_ioctl::CORVANE_CONFIG> sentConfigs;  // every SetConfig argument, as sent
    std::vector<CORVANE_EXTDATA> writtenExt;                 // every WriteExtData argument
    uint32_t lastResult = CORVANE_S_OK;

    // --- ICorvaneControl ----------------------------------------------------------------
    uint32_t CORVANE_CALL GetLastResult() override { return lastResult; }

    bool CORVANE_CALL GetStatus(corvane_ioctl::CORVANE_STATUS* out) override {
        if (!Enter("GetStatus")) return false;
        *out = status;
        return true;
    }
    bool CORVANE_CALL GetConfig(corvane_ioctl::CORVANE_CONFIG* out) override {
        if (!Enter("GetConfig")) return false;
        *out = config;
        return true;
    }
    bool CORVANE_CALL SetConfig(const corvane_ioctl::CORVANE_CONFIG* in) override {
        sentConfigs.push_back(*in);
        if (!Enter("SetConfig", in->passwordHash)) return false;
        if (!CheckPassword(in->passwordHash)) return false;
        if (checkStamp && in->stamp != status.stamp) return Failed(CORVANE_E_STALE_STAMP);
        config = *in;
        config.passwordHash = 0;
        config.changeFlags = 0;
        config.optionMask = 0;
        for (auto& d : config.drives) d.mask = 0;
        ++status.stamp;
        return true;
    }
    bool CORVANE_CALL VerifyPassword(uint32_t hash) override {
        return Enter("VerifyPassword", hash) && CheckPassword(hash);
    }
    bool CORVANE_CALL ChangePassword(uint32_t oldHash, uint32_t newHash) override {
        if (!Enter("ChangePassword", oldHash, static_cast<int32_t>(newHash))) return false;
        if (!CheckPassword(oldHash)) return false;
        newPasswordHash_ = newHash;
        hasNewPassword_ = true;
        return true;
    }
    void CORVANE_CALL Reserved6() override { calls.push_back({"Reserved6"}); }
    bool CORVANE_CALL SetProtectMode(uint32_t hash, int32_t mode) override {
        if (!Enter("SetProtectMode", hash, mode)) return false;
        if (!CheckPassword(hash)) return false;
        if (mode < CORVANE_MODE_PROTECT || mode > CORVANE_MODE_TURBO_SETUP) return Failed(CORVANE_E_UNKNOWN_MODE);
        return true;
    }
    bool CORVANE_CALL ReadExtData(CORVANE_EXTDATA* io) override {
        if (!Enter("ReadExtData")) return false;
        if (io->kind != CORVANE_EXTDATA_KIND) return Failed(CORVANE_E_INVALID_ARGUMENT);
        if (checkStamp && io->stamp != status.stamp) return Failed(CORVANE_E_STALE_STAMP);
        io->data = ext;
        return true;
    }
    bool CORVANE_CALL WriteExtData(const CORVANE_EXTDATA* in) override {
        writtenExt.push_back(*in);
        if (!Enter("WriteExtData")) return false;
        if (in->kind != CORVANE_EXTDATA_KIND) return Failed(CORVANE_E_INVALID_ARGUMENT);
        if (checkStamp && in->stamp != status.stamp) return Failed(CORVANE_E_STALE_STAMP);
        ext = in->data;
        return true;
    }
    bool CORVANE_CALL CreateCache(CorvaneCacheCallback callback, int32_t) override {
        if (!Enter("CreateCache")) return false;
        cacheCallbackAnswer = callback != nullptr && callback();
        status.flags = (status.flags & ~CORVANE_STATUS_CACHE_BUILDING) | CORVANE_STATUS_CACHE_READY;
        return true;
    }
    bool CORVANE_CALL DeleteCache() override {
        if (!Enter("DeleteCache")) return false;
        status.flags &= ~(CORVANE_STATUS_CACHE_READY | CORVANE_STATUS_CACHE_BUILDING);
        return true;
    }

    // --- ICorvanePasswordHash -----------------------------------------------------------
    void CORVANE_CALL Reserved0() override { calls.push_back({"Reserved0"}); }
    void CORVANE_CALL Reserved1() override { calls.push_back({"Reserved1"}); }
    uint32_t CORVANE_CALL HashPassword(const wchar_t* text) override {
        calls.push_back({"HashPassword"});
        return HashOf(text);
    }

    // The fake's hash: FNV-1a over the characters. Tests compare hashes made with it.
    static uint32_t HashOf(const wchar_t* text) {
        uint32_t h = 2166136261u;
        for (; text && *text; ++text) {
            h ^= static_cast<uint32_t>(*text);
            h *= 16777619u;
        }
        return h;
    }
    uint32_t PasswordHash() const { return hasNewPassword_ ? newPasswordHash_ : HashOf(password.c_str()); }

private:
    struct Failure {
        uint32_t code;
        int times;
    };

    bool Enter(const char* op, uint32_t hash = 0, int32_t mode = 0) {
        calls.push_back({op, hash, mode});
        auto it = failures_.find(op);
        if (it == failures_.end() || it->second.times == 0) return true;
        if (it->second.times > 0) --it->second.times;
        return Failed(it->second.code);
    }
    bool Failed(uint32_t code) {
        lastResult = code;
        return false;
    }
    bool CheckPassword(uint32_t hash) {
        if (wrongPasswords >= lockAfter) return Failed(CORVANE_E_PASSWORD_LOCKED);
        if (hash == PasswordHash()) return true;
        ++wrongPasswords;
        return Failed(wrongPasswords >= lockAfter ? CORVANE_E_PASSWORD_LOCKED : CORVANE_E_WRONG_PASSWORD);
    }

    CORVANE_CORE core_{};
    std::map<std::string, Failure> failures_;
    uint32_t newPasswordHash_ = 0;
    bool hasNewPassword_ = false;
};

}  // namespace corvane_testing
