#include "platform/win32/ScopedWin.h"

namespace platform::win32 {

namespace {
using DisableFn = BOOL(WINAPI*)(PVOID*);
using RevertFn = BOOL(WINAPI*)(PVOID);

template <typename Fn>
Fn Kernel32Function(const char* name) {
    HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    return kernel ? reinterpret_cast<Fn>(::GetProcAddress(kernel, name)) : nullptr;
}
}  // namespace

ScopedWow64RedirectionOff::ScopedWow64RedirectionOff() {
    // Looked up at run time: 32-bit Windows without WOW64 lacks the function.
    if (auto disable = Kernel32Function<DisableFn>("Wow64DisableWow64FsRedirection"))
        disabled_ = disable(&old_) != FALSE;
}

ScopedWow64RedirectionOff::~ScopedWow64RedirectionOff() {
    if (!disabled_) return;
    if (auto revert = Kernel32Function<RevertFn>("Wow64RevertWow64FsRedirection")) revert(old_);
}

}  // namespace platform::win32
