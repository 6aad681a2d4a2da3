// CHelperDLL: the installer's one object for "_Helper.dll", the library that installs and
// removes the protection core, reports and releases protection, checks the administrator
// password and draws the drive chooser. Loaded once at start-up and kept until exit.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "install/app/InstallOptions.h"
#include "install/engine/SystemChecks.h"
#include "platform/ports/Log.h"
#include "platform/ports/Modules.h"

#if defined(_WIN32) && defined(__i386__)
#define CORVANE_HELPER_CALL __cdecl
#else
#define CORVANE_HELPER_CALL
#endif

namespace install {

inline constexpr wchar_t kHelperDllName[] = L"_Helper.dll";
inline constexpr int kHelperMessageChars = 256;
inline constexpr int kHelperProductVersion = 0x09000000;

// The exports as the installer calls them: C calling convention, 32-bit results, UTF-16 buffers.
namespace helper_exports {
using CorvaneDefaultCfg = int(CORVANE_HELPER_CALL*)(int allDriveProtect, int protectSystemDrive, int automaticRestore);
using IsCorvaneInstalled = int(CORVANE_HELPER_CALL*)();
using IsCorvaneProtect = int(CORVANE_HELPER_CALL*)();
using ChangeSupervisor = int(CORVANE_HELPER_CALL*)(const char* password, char16_t* message, int messageChars, int reserved);
using InstallCorvane = int(CORVANE_HELPER_CALL*)(char16_t* message, int messageChars, int dosMem, int dosMemFix,
                                                 int recovSol, int notTurbobootInst, int productVersion,
                                                 const char* reserved, const char16_t* adminPassword, int reserved2);
using CheckPassword = int(CORVANE_HELPER_CALL*)(const char* password);
using UninstallCorvane = int(CORVANE_HELPER_CALL*)(const char* password, char16_t* message, int messageChars);
using CreateProtectDriveCtrl = int(CORVANE_HELPER_CALL*)(void* page, void* control, int onlySystemDisk, int onlySystemDrive);
using ReleaseProtectDriveCtrl = int(CORVANE_HELPER_CALL*)();
using FirewallRemoveApp = int(CORVANE_HELPER_CALL*)(const char16_t* record);
using NoDrivesUpdate = int(CORVANE_HELPER_CALL*)();
using InitCorvane = int(CORVANE_HELPER_CALL*)(int reserved, int allDriveProtect, int protectSystemDrive, int automaticRestore);
}  // namespace helper_exports

// The narrow form of a password handed to the library: UTF-8, so that no character is lost.
std::string HelperNarrowText(const std::wstring& text);

class CHelperDLL {
public:
    CHelperDLL(platform::IModules& modules, platform::ILog& log) : modules_(modules), log_(log) {}

    // Loads the library and resolves every required export, logging each name first. False
    // (with LastError) when the library or any export is missing.
    bool Load();
    // Partition-style check (kept in m_nPartitionStyle), then the optional InitCorvane, which
    // may switch on skip mode; in skip mode CorvaneDefaultCfg must succeed too.
    bool Initialize(const InstallOptions& options, SystemChecks& checks);
    // Known after the mode decision: with skip mode on and the product installed, the protection
    // calls are not made and count as success with no protection in force.
    void SetProductInstalled(bool installed) { productInstalled_ = installed; }
    bool Skipping() const { return m_bSkipMode && productInstalled_; }

    int CorvaneDefaultCfg(const InstallOptions& options);
    int IsCorvaneInstalled();
    int IsCorvaneProtect();
    int ChangeSupervisor(const std::wstring& password, std::wstring& message);
    int InstallCorvane(const InstallOptions& options, std::wstring& message);
    // 0 wrong, -1 locked after three wrong entries, other values: correct.
    int CheckPassword(const std::wstring& password);
    int UninstallCorvane(const std::wstring& password, std::wstring& message);
    int CreateProtectDriveCtrl(void* page, void* control, const InstallOptions& options);
    int ReleaseProtectDriveCtrl();
    int FirewallRemoveApp(const std::wstring& record);
    int NoDrivesUpdate();

    bool Loaded() const { return module_ != nullptr; }
    uint32_t LastError() const { return lastError_; }

    int32_t m_nPartitionStyle = -1;
    bool m_bSkipMode = false;

private:
    void Unload();
    template <typename Fn>
    bool Resolve(const char* name, Fn& fn, bool logName = true);

    platform::IModules& modules_;
    platform::ILog& log_;
    std::unique_ptr<platform::IModule> module_;
    uint32_t lastError_ = 0;
    bool productInstalled_ = false;

    helper_exports::CorvaneDefaultCfg corvaneDefaultCfg_ = nullptr;
    helper_exports::IsCorvaneInstalled isCorvaneInstalled_ = nullptr;
    helper_exports::IsCorvaneProtect isCorvaneProtect_ = nullptr;
    helper_exports::ChangeSupervisor changeSupervisor_ = nullptr;
    helper_exports::InstallCorvane installCorvane_ = nullptr;
    helper_exports::CheckPassword checkPassword_ = nullptr;
    helper_exports::UninstallCorvane uninstallCorvane_ = nullptr;
    helper_exports::CreateProtectDriveCtrl createProtectDriveCtrl_ = nullptr;
    helper_exports::ReleaseProtectDriveCtrl releaseProtectDriveCtrl_ = nullptr;
    helper_exports::FirewallRemoveApp firewallRemoveApp_ = nullptr;
    helper_exports::NoDrivesUpdate noDrivesUpdate_ = nullptr;
    void* firewallAddApp_ = nullptr;
    void* isRunning_ = nullptr;
    helper_exports::InitCorvane initCorvane_ = nullptr;
};

}  // namespace install
