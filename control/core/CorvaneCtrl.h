// The control program's client of corvane.dll: one process-wide object (TheCorvaneCtrl) that
// holds the core object and forwards every operation, plus the wrapper classes and setters of
// the records. Every setter marks the changed bit in its mask and in changeFlags, so the
// library applies only what the program changed.
#pragma once

#include <cstdint>
#include <vector>

#include "control/core/CorvaneInterface.h"
#include "control/core/CorvaneRecords.h"

class CorvaneCtrl {
public:
    // Record wrappers: zero-filled at construction; the base record is what goes to the library.
    class Status : public corvane_ioctl::CORVANE_STATUS {
    public:
        Status();
        virtual ~Status() = default;
    };
    class Config : public corvane_ioctl::CORVANE_CONFIG {
    public:
        Config();
        virtual ~Config() = default;
    };
    class DriveInfo : public corvane_ioctl::CORVANE_DRIVEINFO {
    public:
        DriveInfo();
        explicit DriveInfo(const corvane_ioctl::CORVANE_DRIVEINFO& info);
        virtual ~DriveInfo() = default;
    };
    // A view of one drive entry of a Config; must not outlive that Config.
    class DriveConfig {
    public:
        DriveConfig(corvane_ioctl::CORVANE_CONFIG* config, int index) : config_(config), index_(index) {}
        virtual ~DriveConfig() = default;
        corvane_ioctl::CORVANE_CONFIG* GetConfig() const { return config_; }
        int GetIndex() const { return index_; }
        char GetLetter() const { return static_cast<char>('A' + index_); }
        corvane_ioctl::CORVANE_DRIVECONFIG& Entry() const { return config_->drives[index_]; }
        uint32_t GetFlags() const { return Entry().flags; }
        uint32_t GetMask() const { return Entry().mask; }

    private:
        corvane_ioctl::CORVANE_CONFIG* config_;
        int index_;
    };

    CorvaneCtrl() = default;
    ~CorvaneCtrl();
    CorvaneCtrl(const CorvaneCtrl&) = delete;
    CorvaneCtrl& operator=(const CorvaneCtrl&) = delete;

    // Loads corvane.dll from the program's own folder and creates the core object. Fails when a
    // core object exists already, when the library or its exports are missing, or when
    // CorvaneCreate returns null (the library is then unloaded again). Windows only.
    bool Load();
    // Takes a core object made elsewhere (tests). Fails when a core object exists already.
    bool Attach(CORVANE_CORE* core, void (*deleter)(CORVANE_CORE*));
    // Hands the core object back to its library, once; a second call does nothing.
    void Release();
    bool IsLoaded() const { return core_ != nullptr; }

    uint32_t GetLastResult();
    bool GetStatus(corvane_ioctl::CORVANE_STATUS* status);
    bool GetConfig(corvane_ioctl::CORVANE_CONFIG* config);
    bool SetConfig(const corvane_ioctl::CORVANE_CONFIG* config);
    bool VerifyPassword(uint32_t hash);
    bool ChangePassword(uint32_t oldHash, uint32_t newHash);
    bool SetProtectMode(uint32_t hash, int32_t mode);
    bool ReadExtData(CORVANE_EXTDATA* ext);
    bool WriteExtData(const CORVANE_EXTDATA* ext);
    bool CreateCache(bool (*callback)(), int32_t reserved);
    bool DeleteCache();
    uint32_t HashPassword(const wchar_t* password);

    // Reads the 512-byte extended block (with a fresh status stamp). On failure `block` is left
    // as it was.
    bool ReadExtBlock(CORVANE_EXTBLOCK* block);
    // Reads the block afresh, replaces only `fields` with the bytes of `source` at the same
    // offsets, and writes the whole block back; every other byte goes back exactly as read.
    bool WriteExtBlock(const CORVANE_EXTBLOCK& source, CorvaneExtFields fields);

    // Present drives (flags bit 7) in drive-letter order.
    static void GetDriveInfos(const corvane_ioctl::CORVANE_STATUS& status, std::vector<DriveInfo>& out);
    static void GetDriveConfigs(corvane_ioctl::CORVANE_CONFIG& config, std::vector<DriveConfig>& out);
    static void SetRestoreUsed(const DriveConfig& drive, bool used);
    static void SetAutoRestore(const DriveConfig& drive, bool automatic);
    static void RequestRestorePoint(const DriveConfig& drive);
    static void RequestRestore(const DriveConfig& drive);
    static void SetTurboBoot(corvane_ioctl::CORVANE_CONFIG& config, bool on);
    static void SetCdromPolicy(corvane_ioctl::CORVANE_CONFIG& config, bool blocked);

private:
    CORVANE_CORE* core_ = nullptr;
    void (*deleter_)(CORVANE_CORE*) = nullptr;  // set by Attach
    CorvaneDeleteFn deleteExport_ = nullptr;    // set by Load: the library's CorvaneDelete
};

// The process-wide client.
CorvaneCtrl& TheCorvaneCtrl();
