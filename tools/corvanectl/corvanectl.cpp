// corvanectl: drives corvane.dll from the command line for tests and support.
//
// Calls through the library, loaded from this program's folder exactly as Corvane.exe does:
//   status | config | ext
//   verify <password>                         exit 0 when right, 1 when refused
//   change-password <old> <new>
//   set-protect-mode <0|1|2|3> <password>
//   request-restore-point <letter> <password> (GetConfig, GetStatus, setter, SetConfig)
//   request-restore <letter> <password>
//   set-mode <letter> auto|manual|off <password>
//   set-turbo on|off <password>
//   set-power <0|1|2> <hh:mm> (writes the power fields of the extended block)
//   create-cache | delete-cache
// Presets that write the store directly, bypassing the password (tests only):
//   preset flag <hex> on|off | preset drives <letter>... | preset release day|full|none
//   preset wrong-passwords <n> | preset password <text> | inspect | reset
// Output is one key=value per line; every library call also prints last_result in hex.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

#include "control/core/CorvaneCtrl.h"
#include "control/core/CorvaneResults.h"
#include "outside/corvane/CoreEngine.h"
#include "outside/corvane/RegistryCoreStore_win32.h"

namespace {

using corvane_ioctl::CORVANE_SYSTEMTIME;

constexpr int kExitOk = 0;
constexpr int kExitRefused = 1;
constexpr int kExitUsage = 2;

void PrintTime(const char* key, const CORVANE_SYSTEMTIME& t) {
    std::printf("%s=%04u-%02u-%02u %02u:%02u:%02u\n", key, t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
                t.wSecond);
}

const char* ReleaseName(uint32_t flags) {
    if (flags & CORVANE_STATUS_DAY_RELEASE) return "day";
    if (flags & CORVANE_STATUS_RELEASE) return "full";
    return "none";
}

int Report(CorvaneCtrl& ctrl, const char* op, bool ok) {
    std::printf("%s=%s\n", op, ok ? "ok" : "failed");
    std::printf("last_result=0x%08X\n", static_cast<unsigned>(ctrl.GetLastResult()));
    return ok ? kExitOk : kExitRefused;
}

int DriveIndex(const wchar_t* arg) {
    wchar_t c = arg ? static_cast<wchar_t>(towupper(arg[0])) : 0;
    return (c >= L'A' && c <= L'Z') ? c - L'A' : -1;
}

int Status(CorvaneCtrl& ctrl) {
    CorvaneCtrl::Status status;
    bool ok = ctrl.GetStatus(&status);
    if (!ok) return Report(ctrl, "status", false);
    std::printf("flags=0x%08X\n", static_cast<unsigned>(status.flags));
    std::printf("release=%s\n", ReleaseName(status.flags));
    std::printf("stamp=%u\n", static_cast<unsigned>(status.stamp));
    std::printf("cache_rating=%u\n", static_cast<unsigned>(status.cacheRating));
    std::vector<CorvaneCtrl::DriveInfo> drives;
    CorvaneCtrl::GetDriveInfos(status, drives);
    std::string letters;
    for (const auto& d : drives) letters += static_cast<char>(d.letter);
    std::printf("drives=%s\n", letters.c_str());
    for (const auto& d : drives) {
        char key[64];
        std::printf("drive.%c.flags=0x%X\n", d.letter, static_cast<unsigned>(d.flags));
        std::printf("drive.%c.backup_size=%llu\n", d.letter, static_cast<unsigned long long>(d.backupSize));
        std::printf("drive.%c.backup_free=%llu\n", d.letter, static_cast<unsigned long long>(d.backupFree));
        std::snprintf(key, sizeof key, "drive.%c.restore_point_time", d.letter);
        PrintTime(key, d.restorePointTime);
        std::snprintf(key, sizeof key, "drive.%c.restore_time", d.letter);
        PrintTime(key, d.restoreTime);
    }
    return kExitOk;
}

int Config(CorvaneCtrl& ctrl) {
    CorvaneCtrl::Config config;
    if (!ctrl.GetConfig(&config)) return Report(ctrl, "config", false);
    std::printf("stamp=%u\n", static_cast<unsigned>(config.stamp));
    std::printf("options=0x%08X\n", static_cast<unsigned>(config.options));
    std::printf("schedule_flags=0x%02X\n", config.scheduleFlags);
    std::printf("schedule_weekdays=0x%04X\n", config.scheduleWeekdays);
    std::printf("schedule_month_days=0x%016llX\n", static_cast<unsigned long long>(config.scheduleMonthDays));
    std::printf("schedule_interval=%u\n", config.scheduleInterval);
    for (uint32_t i = 0; i < CORVANE_DRIVE_COUNT; ++i)
        if (config.drives[i].flags & CORVANE_DRIVE_PRESENT)
            std::printf("drive.%c.flags=0x%X\n", 'A' + i, static_cast<unsigned>(config.drives[i].flags));
    return kExitOk;
}

int Ext(CorvaneCtrl& ctrl) {
    CORVANE_EXTBLOCK block{};
    if (!ctrl.ReadExtBlock(&block)) return Report(ctrl, "ext", false);
    std::printf("power_mode=%u\n", static_cast<unsigned>(block.powerMode));
    PrintTime("power_time", block.powerTime);
    std::printf("block_windows_update=%u\n", static_cast<unsigned>(block.blockWindowsUpdate));
    std::printf("storage_blocked=%u\n", static_cast<unsigned>(block.storageBlocked));
    std::printf("storage_security=%u\n", static_cast<unsigned>(block.storageSecurity));
    return kExitOk;
}

// The page procedure: fresh records, a setter, hash and stamp, SetConfig.
template <typename Change>
int ChangeConfig(CorvaneCtrl& ctrl, const wchar_t* password, Change change) {
    CorvaneCtrl::Config config;
    CorvaneCtrl::Status status;
    ctrl.GetConfig(&config);
    ctrl.GetStatus(&status);
    if (!change(config)) return kExitUsage;
    config.passwordHash = ctrl.HashPassword(password);
    config.stamp = status.stamp;
    return Report(ctrl, "set_config", ctrl.SetConfig(&config));
}

// Runs `change` on the view of drive `index`; false when that drive is not present.
template <typename Change>
bool WithDrive(CorvaneCtrl::Config& config, int index, Change change) {
    std::vector<CorvaneCtrl::DriveConfig> views;
    CorvaneCtrl::GetDriveConfigs(config, views);
    for (const auto& view : views)
        if (view.GetIndex() == index) { change(view); return true; }
    std::fprintf(stderr, "corvanectl: drive %c: is not present\n", 'A' + index);
    return false;
}

int Library(int argc, wchar_t** argv) {
    CorvaneCtrl& ctrl = TheCorvaneCtrl();
    if (!ctrl.Load()) {
        std::printf("load=failed\n");
        return kExitRefused;
    }
    std::wstring cmd = argv[1];
    auto arg = [argc, argv](int i) -> const wchar_t* { return i < argc ? argv[i] : nullptr; };

    if (cmd == L"status") return Status(ctrl);
    if (cmd == L"config") return Config(ctrl);
    if (cmd == L"ext") return Ext(ctrl);
    if (cmd == L"verify" && arg(2))
        return Report(ctrl, "verify", ctrl.VerifyPassword(ctrl.HashPassword(arg(2))));
    if (cmd == L"change-password" && arg(3))
        return Report(ctrl, "change_password",
                      ctrl.ChangePassword(ctrl.HashPassword(arg(2)), ctrl.HashPassword(arg(3))));
    if (cmd == L"set-protect-mode" && arg(3))
        return Report(ctrl, "set_protect_mode",
                      ctrl.SetProtectMode(ctrl.HashPassword(arg(3)), static_cast<int32_t>(_wtoi(arg(2)))));
    if ((cmd == L"request-restore-point" || cmd == L"request-restore") && arg(3)) {
        int index = DriveIndex(arg(2));
        bool point = cmd == L"request-restore-point";
        return ChangeConfig(ctrl, arg(3), [&](CorvaneCtrl::Config& config) {
            return index >= 0 && WithDrive(config, index, [point](const CorvaneCtrl::DriveConfig& view) {
                       if (point) CorvaneCtrl::RequestRestorePoint(view);
                       else CorvaneCtrl::RequestRestore(view);
                   });
        });
    }
    if (cmd == L"set-mode" && arg(4)) {
        int index = DriveIndex(arg(2));
        std::wstring mode = arg(3);
        if (mode != L"auto" && mode != L"manual" && mode != L"off") return kExitUsage;
        return ChangeConfig(ctrl, arg(4), [&](CorvaneCtrl::Config& config) {
            return index >= 0 && WithDrive(config, index, [&mode](const CorvaneCtrl::DriveConfig& view) {
                       CorvaneCtrl::SetRestoreUsed(view, mode != L"off");
                       if (mode != L"off") CorvaneCtrl::SetAutoRestore(view, mode == L"auto");
                   });
        });
    }
    if (cmd == L"set-turbo" && arg(3)) {
        bool on = std::wstring(arg(2)) == L"on";
        return ChangeConfig(ctrl, arg(3), [on](CorvaneCtrl::Config& config) {
            CorvaneCtrl::SetTurboBoot(config, on);
            return true;
        });
    }
    if (cmd == L"set-power" && arg(3)) {
        CORVANE_EXTBLOCK block{};
        unsigned hour = 0, minute = 0;
        if (std::swscanf(arg(3), L"%u:%u", &hour, &minute) != 2) return kExitUsage;
        block.powerMode = static_cast<uint32_t>(_wtoi(arg(2)));
        block.powerTime.wHour = static_cast<uint16_t>(hour);
        block.powerTime.wMinute = static_cast<uint16_t>(minute);
        return Report(ctrl, "write_ext", ctrl.WriteExtBlock(block, CORVANE_EXT_POWER_FIELDS));
    }
    if (cmd == L"create-cache")
        return Report(ctrl, "create_cache", ctrl.CreateCache([] { return true; }, 0));
    if (cmd == L"delete-cache") return Report(ctrl, "delete_cache", ctrl.DeleteCache());
    return kExitUsage;
}

int Direct(int argc, wchar_t** argv) {
    corvane_core::RegistryCoreStore store;
    corvane_core::Win32CoreSystem system;
    corvane_core::CoreEngine engine(store, system);
    std::wstring cmd = argv[1];
    auto arg = [argc, argv](int i) -> std::wstring { return i < argc ? argv[i] : L""; };
    uint32_t result = CORVANE_E_INVALID_ARGUMENT;

    if (cmd == L"reset") {
        result = engine.Reset();
    } else if (cmd == L"inspect") {
        corvane_core::CoreState state;
        uint32_t wrong = 0;
        result = engine.Inspect(state, wrong);
        if (result == CORVANE_S_OK) {
            std::printf("wrong_passwords=%u\n", static_cast<unsigned>(wrong));
            std::printf("pending_mode=%d\n", static_cast<int>(state.pendingMode));
            std::printf("password_is_default=%d\n", state.passwordHash == corvane_core::CoreEngine::DefaultPasswordHash());
        }
    } else if (cmd == L"preset" && argc >= 3) {
        std::wstring what = arg(2);
        if (what == L"flag" && argc >= 5) {
            uint32_t bits = static_cast<uint32_t>(std::wcstoul(arg(3).c_str(), nullptr, 16));
            bool on = arg(4) == L"on";
            result = engine.Preset([bits, on](corvane_core::CoreState& s) {
                s.statusFlags = on ? (s.statusFlags | bits) : (s.statusFlags & ~bits);
            });
        } else if (what == L"drives") {
            std::vector<int> wanted;
            for (int i = 3; i < argc; ++i)
                if (DriveIndex(argv[i]) >= 0) wanted.push_back(DriveIndex(argv[i]));
            CORVANE_SYSTEMTIME now = system.Now();
            result = engine.Preset([&wanted, now](corvane_core::CoreState& s) {
                for (auto& d : s.drives) d = corvane_core::DriveState{};
                for (int i : wanted) {
                    auto& d = s.drives[i];
                    d.flags = CORVANE_DRIVE_PRESENT | CORVANE_DRIVE_RESTORE_USED | CORVANE_DRIVE_AUTO_RESTORE;
                    d.backupSize = 10ull << 30;
                    d.backupFree = 9ull << 30;
                    d.restorePointTime = now;
                }
            });
        } else if (what == L"release" && argc >= 4) {
            std::wstring kind = arg(3);
            uint32_t bits = kind == L"day" ? CORVANE_STATUS_DAY_RELEASE : kind == L"full" ? CORVANE_STATUS_RELEASE : 0;
            if (kind == L"day" || kind == L"full" || kind == L"none") {
                CORVANE_SYSTEMTIME now = system.Now();
                result = engine.Preset([bits, now](corvane_core::CoreState& s) {
                    s.statusFlags = (s.statusFlags & ~CORVANE_STATUS_ANY_RELEASE) | bits;
                    s.releaseStart = now;
                    s.pendingMode = corvane_core::PendingMode::None;
                });
            }
        } else if (what == L"wrong-passwords" && argc >= 4) {
            result = engine.PresetWrongPasswords(static_cast<uint32_t>(_wtoi(arg(3).c_str())));
        } else if (what == L"password" && argc >= 4) {
            uint32_t hash = corvane_core::CoreEngine::HashPassword(arg(3).c_str());
            result = engine.Preset([hash](corvane_core::CoreState& s) { s.passwordHash = hash; });
        }
    }
    if (result == CORVANE_E_INVALID_ARGUMENT) return kExitUsage;
    std::printf("%ls=%s\n", cmd.c_str(), result == CORVANE_S_OK ? "ok" : "failed");
    std::printf("last_result=0x%08X\n", static_cast<unsigned>(result));
    return result == CORVANE_S_OK ? kExitOk : kExitRefused;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: corvanectl status|config|ext|verify <pw>|change-password <old> <new>|\n"
                 "       set-protect-mode <mode> <pw>|request-restore-point <drive> <pw>|\n"
                 "       request-restore <drive> <pw>|set-mode <drive> auto|manual|off <pw>|\n"
                 "       set-turbo on|off <pw>|set-power <mode> <hh:mm>|create-cache|delete-cache\n"
                 "       preset flag <hex> on|off|preset drives <d>...|preset release day|full|none|\n"
                 "       preset wrong-passwords <n>|preset password <pw>|inspect|reset\n");
    return kExitUsage;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return Usage();
    std::wstring cmd = argv[1];
    int rc = (cmd == L"preset" || cmd == L"reset" || cmd == L"inspect") ? Direct(argc, argv) : Library(argc, argv);
    TheCorvaneCtrl().Release();
    if (rc == kExitUsage) return Usage();
    return rc;
}
