#include "control/core/CorvaneCtrl.h"

#include <cstring>

#include "control/core/CorvaneResults.h"

using corvane_ioctl::CORVANE_CONFIG;
using corvane_ioctl::CORVANE_DRIVEINFO;
using corvane_ioctl::CORVANE_STATUS;

CorvaneCtrl::Status::Status() { std::memset(static_cast<CORVANE_STATUS*>(this), 0, sizeof(CORVANE_STATUS)); }
CorvaneCtrl::Config::Config() { std::memset(static_cast<CORVANE_CONFIG*>(this), 0, sizeof(CORVANE_CONFIG)); }
CorvaneCtrl::DriveInfo::DriveInfo() {
    std::memset(static_cast<CORVANE_DRIVEINFO*>(this), 0, sizeof(CORVANE_DRIVEINFO));
}
CorvaneCtrl::DriveInfo::DriveInfo(const CORVANE_DRIVEINFO& info) : CORVANE_DRIVEINFO(info) {}

CorvaneCtrl::~CorvaneCtrl() { Release(); }

bool CorvaneCtrl::Attach(CORVANE_CORE* core, void (*deleter)(CORVANE_CORE*)) {
    if (core_ != nullptr || core == nullptr) return false;
    core_ = core;
    deleter_ = deleter;
    deleteExport_ = nullptr;
    return true;
}

void CorvaneCtrl::Release() {
    CORVANE_CORE* core = core_;
    if (core == nullptr) return;
    core_ = nullptr;
    if (deleteExport_ != nullptr) deleteExport_(core);
    else if (deleter_ != nullptr) deleter_(core);
    deleteExport_ = nullptr;
    deleter_ = nullptr;
}

uint32_t CorvaneCtrl::GetLastResult() {
    return core_ ? core_->control->GetLastResult() : CORVANE_E_NOT_INITIALIZED;
}

bool CorvaneCtrl::GetStatus(CORVANE_STATUS* status) {
    return core_ && core_->control->GetStatus(status);
}
bool CorvaneCtrl::GetConfig(CORVANE_CONFIG* config) {
    return core_ && core_->control->GetConfig(config);
}
bool CorvaneCtrl::SetConfig(const CORVANE_CONFIG* config) {
    return core_ && core_->control->SetConfig(config);
}
bool CorvaneCtrl::VerifyPassword(uint32_t hash) {
    return core_ && core_->control->VerifyPassword(hash);
}
bool CorvaneCtrl::ChangePassword(uint32_t oldHash, uint32_t newHash) {
    return core_ && core_->control->ChangePassword(oldHash, newHash);
}
bool CorvaneCtrl::SetProtectMode(uint32_t hash, int32_t mode) {
    return core_ && core_->control->SetProtectMode(hash, mode);
}
bool CorvaneCtrl::ReadExtData(CORVANE_EXTDATA* ext) {
    return core_ && core_->control->ReadExtData(ext);
}
bool CorvaneCtrl::WriteExtData(const CORVANE_EXTDATA* ext) {
    return core_ && core_->control->WriteExtData(ext);
}
bool CorvaneCtrl::CreateCache(bool (*callback)(), int32_t reserved) {
    return core_ && core_->control->CreateCache(callback, reserved);
}
bool CorvaneCtrl::DeleteCache() {
    return core_ && core_->control->DeleteCache();
}
uint32_t CorvaneCtrl::HashPassword(const wchar_t* password) {
    return core_ ? core_->passwordHash->HashPassword(password) : 0;
}

bool CorvaneCtrl::ReadExtBlock(CORVANE_EXTBLOCK* block) {
    Status status;
    GetStatus(&status);  // a failure leaves stamp 0, which the library then refuses
    CORVANE_EXTDATA ext;
    std::memset(&ext, 0, sizeof ext);
    ext.kind = CORVANE_EXTDATA_KIND;
    ext.stamp = status.stamp;
    if (!ReadExtData(&ext)) return false;
    std::memcpy(block, &ext.data, sizeof ext.data);
    return true;
}

bool CorvaneCtrl::WriteExtBlock(const CORVANE_EXTBLOCK& source, CorvaneExtFields fields) {
    if (fields.offset > CORVANE_EXTBLOCK_SIZE || fields.length > CORVANE_EXTBLOCK_SIZE - fields.offset)
        return false;
    Status status;
    GetStatus(&status);
    CORVANE_EXTDATA ext;
    std::memset(&ext, 0, sizeof ext);
    ext.kind = CORVANE_EXTDATA_KIND;
    ext.stamp = status.stamp;
    if (!ReadExtData(&ext)) return false;
    std::memcpy(reinterpret_cast<uint8_t*>(&ext.data) + fields.offset,
                reinterpret_cast<const uint8_t*>(&source) + fields.offset, fields.length);
    ext.kind = CORVANE_EXTDATA_KIND;
    ext.stamp = status.stamp;
    return WriteExtData(&ext);
}

void CorvaneCtrl::GetDriveInfos(const CORVANE_STATUS& status, std::vector<DriveInfo>& out) {
    out.clear();
    for (uint32_t i = 0; i < CORVANE_DRIVE_COUNT; ++i)
        if (status.drives[i].flags & CORVANE_DRIVE_PRESENT) out.emplace_back(status.drives[i]);
}

void CorvaneCtrl::GetDriveConfigs(CORVANE_CONFIG& config, std::vector<DriveConfig>& out) {
    out.clear();
    for (uint32_t i = 0; i < CORVANE_DRIVE_COUNT; ++i)
        if (config.drives[i].flags & CORVANE_DRIVE_PRESENT) out.emplace_back(&config, static_cast<int>(i));
}

namespace {

// Flips `bit` of a drive entry when it differs from `on`, marking the change.
void SetDriveBit(const CorvaneCtrl::DriveConfig& drive, uint32_t bit, bool on) {
    auto& entry = drive.Entry();
    if (((entry.flags & bit) != 0) == on) return;
    drive.GetConfig()->changeFlags |= CORVANE_CHANGE_DRIVES;
    entry.mask |= bit;
    entry.flags ^= bit;
}

// Requests are always marked, even when the bit is set already: the library acts on the mask.
void RequestDriveBit(const CorvaneCtrl::DriveConfig& drive, uint32_t bit) {
    auto& entry = drive.Entry();
    drive.GetConfig()->changeFlags |= CORVANE_CHANGE_DRIVES;
    entry.mask |= bit;
    entry.flags |= bit;
}

}  // namespace

void CorvaneCtrl::SetRestoreUsed(const DriveConfig& drive, bool used) {
    SetDriveBit(drive, CORVANE_DRIVE_RESTORE_USED, used);
}
void CorvaneCtrl::SetAutoRestore(const DriveConfig& drive, bool automatic) {
    SetDriveBit(drive, CORVANE_DRIVE_AUTO_RESTORE, automatic);
}
void CorvaneCtrl::RequestRestorePoint(const DriveConfig& drive) {
    RequestDriveBit(drive, CORVANE_DRIVE_RESTORE_POINT);
}
void CorvaneCtrl::RequestRestore(const DriveConfig& drive) {
    RequestDriveBit(drive, CORVANE_DRIVE_RESTORE_NOW);
}

void CorvaneCtrl::SetTurboBoot(CORVANE_CONFIG& config, bool on) {
    if (((config.options & CORVANE_OPTION_TURBO_BOOT) != 0) == on) return;
    config.changeFlags |= CORVANE_CHANGE_OPTIONS;
    config.optionMask |= CORVANE_OPTION_TURBO_BOOT;
    config.options ^= CORVANE_OPTION_TURBO_BOOT;
}

void CorvaneCtrl::SetCdromPolicy(CORVANE_CONFIG& config, bool blocked) {
    config.changeFlags |= CORVANE_CHANGE_OPTIONS;
    config.optionMask |= CORVANE_OPTION_CDROM_MASK;
    config.options = (config.options & ~CORVANE_OPTION_CDROM_MASK) | (blocked ? CORVANE_OPTION_CDROM_BLOCKED : 0u);
}

CorvaneCtrl& TheCorvaneCtrl() {
    static CorvaneCtrl ctrl;
    return ctrl;
}
