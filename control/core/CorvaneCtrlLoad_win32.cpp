// Loading corvane.dll: Windows only, kept apart so the rest of the client stays portable.
#include <windows.h>

#include <string>

#include "control/core/CorvaneCtrl.h"

namespace {

// The running program's folder, with its trailing backslash.
std::wstring ProgramFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = ::GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (n == 0) return std::wstring();
        if (n < path.size()) { path.resize(n); break; }
        path.resize(path.size() * 2);
    }
    size_t slash = path.rfind(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

}  // namespace

bool CorvaneCtrl::Load() {
    if (core_ != nullptr) return false;
    std::wstring folder = ProgramFolder();
    if (folder.empty()) return false;
    HMODULE module = ::LoadLibraryW((folder + L"corvane.dll").c_str());
    if (module == nullptr) return false;
    auto create = reinterpret_cast<CorvaneCreateFn>(::GetProcAddress(module, "CorvaneCreate"));
    auto destroy = reinterpret_cast<CorvaneDeleteFn>(::GetProcAddress(module, "CorvaneDelete"));
    CORVANE_CORE* core = (create && destroy) ? create() : nullptr;
    if (core == nullptr || core->control == nullptr || core->passwordHash == nullptr) {
        if (core != nullptr) destroy(core);
        ::FreeLibrary(module);
        return false;
    }
    // The module stays loaded for the life of the process, even after Release: a worker
    // thread may still be returning from a call into it when the main window closes.
    core_ = core;
    deleteExport_ = destroy;
    deleter_ = nullptr;
    return true;
}
