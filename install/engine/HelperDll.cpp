#include "install/engine/HelperDll.h"

#include "platform/ports/TextCodec.h"

namespace install {

namespace {

// The library writes at most messageChars units; a missing terminator is not trusted.
std::wstring MessageText(const char16_t (&buffer)[kHelperMessageChars]) {
    size_t length = 0;
    while (length < kHelperMessageChars - 1 && buffer[length] != u'\0') ++length;
    return platform::text::FromUtf16(buffer, length);
}

}  // namespace

std::string HelperNarrowText(const std::wstring& text) { return platform::text::ToUtf8(text); }

template <typename Fn>
bool CHelperDLL::Resolve(const char* name, Fn& fn, bool logName) {
    if (logName) log_.Write(L"%ls\n", std::wstring(name, name + std::char_traits<char>::length(name)).c_str());
    uint32_t error = 0;
    void* address = module_->Export(name, error);
    if (!address) {
        lastError_ = error;
        return false;
    }
    fn = reinterpret_cast<Fn>(address);
    return true;
}

bool CHelperDLL::Load() {
    uint32_t error = 0;
    module_ = modules_.Load(kHelperDllName, error);
    if (!module_) {
        lastError_ = error;
        return false;
    }
    bool ok = Resolve("CorvaneDefaultCfg", corvaneDefaultCfg_) && Resolve("IsCorvaneInstalled", isCorvaneInstalled_) &&
              Resolve("IsCorvaneProtect", isCorvaneProtect_) && Resolve("ChangeSupervisor", changeSupervisor_) &&
              Resolve("InstallCorvane", installCorvane_) && Resolve("CheckPassword", checkPassword_) &&
              Resolve("UninstallCorvane", uninstallCorvane_) &&
              Resolve("CreateProtectDriveCtrl", createProtectDriveCtrl_) &&
              Resolve("ReleaseProtectDriveCtrl", releaseProtectDriveCtrl_) &&
              Resolve("FirewallRemoveApp", firewallRemoveApp_) && Resolve("NoDrivesUpdate", noDrivesUpdate_) &&
              Resolve("FirewallAddApp", firewallAddApp_) && Resolve("IsRunning", isRunning_);
    if (!ok) {
        Unload();  // a half-resolved library is never called
        return false;
    }
    if (!Resolve("InitCorvane", initCorvane_, false)) initCorvane_ = nullptr;
    return true;
}

void CHelperDLL::Unload() {
    corvaneDefaultCfg_ = nullptr;
    isCorvaneInstalled_ = nullptr;
    isCorvaneProtect_ = nullptr;
    changeSupervisor_ = nullptr;
    installCorvane_ = nullptr;
    checkPassword_ = nullptr;
    uninstallCorvane_ = nullptr;
    createProtectDriveCtrl_ = nullptr;
    releaseProtectDriveCtrl_ = nullptr;
    firewallRemoveApp_ = nullptr;
    noDrivesUpdate_ = nullptr;
    firewallAddApp_ = nullptr;
    isRunning_ = nullptr;
    initCorvane_ = nullptr;
    module_.reset();
}

bool CHelperDLL::Initialize(const InstallOptions& options, SystemChecks& checks) {
    int32_t style = -1;
    if (!checks.CheckPartitionStyle(style)) return false;
    m_nPartitionStyle = style;
    if (initCorvane_) {
        int result = initCorvane_(0, options.m_nAllDriveProtect, options.m_nUnProtSystemDrive == 0,
                                  options.m_nManualRecovery == 0);
        m_bSkipMode = result == 0;
        log_.Write(L"Corvane Skip mode : %d\n", m_bSkipMode ? 1 : 0);
    }
    if (m_bSkipMode && CorvaneDefaultCfg(options) == 0) return false;
    return true;
}

int CHelperDLL::CorvaneDefaultCfg(const InstallOptions& options) {
    if (Skipping()) return 1;
    if (!corvaneDefaultCfg_) return 0;
    return corvaneDefaultCfg_(options.m_nAllDriveProtect, options.m_nUnProtSystemDrive == 0, options.m_nManualRecovery == 0);
}

int CHelperDLL::IsCorvaneInstalled() { return isCorvaneInstalled_ ? isCorvaneInstalled_() : 0; }

int CHelperDLL::IsCorvaneProtect() {
    if (Skipping()) return 0;
    return isCorvaneProtect_ ? isCorvaneProtect_() : 0;
}

int CHelperDLL::ChangeSupervisor(const std::wstring& password, std::wstring& message) {
    message.clear();
    if (Skipping()) return 1;
    if (!changeSupervisor_) return 0;
    char16_t buffer[kHelperMessageChars] = {};
    std::string narrow = HelperNarrowText(password);
    int result = changeSupervisor_(narrow.c_str(), buffer, kHelperMessageChars, 0);
    message = MessageText(buffer);
    return result;
}

int CHelperDLL::InstallCorvane(const InstallOptions& options, std::wstring& message) {
    message.clear();
    if (Skipping()) return 1;
    if (!installCorvane_) return 0;
    char16_t buffer[kHelperMessageChars] = {};
    std::u16string password = platform::text::ToUtf16(options.m_strAdminPassword);
    int result = installCorvane_(buffer, kHelperMessageChars, options.m_nDosMem, options.m_nDosMemFix, options.m_nRecovSol,
                                 options.m_nNotTurbobootInst, kHelperProductVersion, "", password.c_str(), 0);
    message = MessageText(buffer);
    return result;
}

int CHelperDLL::CheckPassword(const std::wstring& password) {
    if (Skipping()) return 1;
    if (!checkPassword_) return 0;
    std::string narrow = HelperNarrowText(password);
    return checkPassword_(narrow.c_str());
}

int CHelperDLL::UninstallCorvane(const std::wstring& password, std::wstring& message) {
    message.clear();
    if (!uninstallCorvane_) return 0;
    char16_t buffer[kHelperMessageChars] = {};
    std::string narrow = HelperNarrowText(password);
    int result = uninstallCorvane_(narrow.c_str(), buffer, kHelperMessageChars);
    message = MessageText(buffer);
    return result;
}

int CHelperDLL::CreateProtectDriveCtrl(void* page, void* control, const InstallOptions& options) {
    return createProtectDriveCtrl_ ? createProtectDriveCtrl_(page, control, options.m_nOnlySystemDisk, options.m_nOnlySystemDrive) : 0;
}

int CHelperDLL::ReleaseProtectDriveCtrl() { return releaseProtectDriveCtrl_ ? releaseProtectDriveCtrl_() : 0; }

int CHelperDLL::FirewallRemoveApp(const std::wstring& record) {
    if (!firewallRemoveApp_) return 0;
    std::u16string text = platform::text::ToUtf16(record);
    return firewallRemoveApp_(text.c_str());
}

int CHelperDLL::NoDrivesUpdate() { return noDrivesUpdate_ ? noDrivesUpdate_() : 0; }

}  // namespace install
