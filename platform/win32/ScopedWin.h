// Owners of Windows handles: one small class per handle kind, non-copyable, movable, closing
// in the destructor. Add a kind here rather than closing handles by hand elsewhere.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <winsvc.h>

#include <utility>

namespace platform::win32 {

// Generic owner parameterised by the handle type, its "no handle" value and its close call.
template <typename T, typename Traits>
class ScopedHandleT {
public:
    ScopedHandleT() = default;
    explicit ScopedHandleT(T h) : h_(h) {}
    ~ScopedHandleT() { Reset(); }
    ScopedHandleT(const ScopedHandleT&) = delete;
    ScopedHandleT& operator=(const ScopedHandleT&) = delete;
    ScopedHandleT(ScopedHandleT&& o) noexcept : h_(std::exchange(o.h_, Traits::Invalid())) {}
    ScopedHandleT& operator=(ScopedHandleT&& o) noexcept {
        if (this != &o) { Reset(); h_ = std::exchange(o.h_, Traits::Invalid()); }
        return *this;
    }
    // Closes what is held, then takes `h`.
    void Reset(T h = Traits::Invalid()) {
        if (Traits::IsValid(h_)) Traits::Close(h_);
        h_ = h;
    }
    T Release() { return std::exchange(h_, Traits::Invalid()); }
    T Get() const { return h_; }
    bool IsValid() const { return Traits::IsValid(h_); }
    explicit operator bool() const { return IsValid(); }
    // For out-parameters: closes what is held and hands out the slot.
    T* Receive() { Reset(); return &h_; }

private:
    T h_ = Traits::Invalid();
};

struct KernelHandleTraits {  // CreateFile and friends: INVALID_HANDLE_VALUE and null are both "none"
    static HANDLE Invalid() { return nullptr; }
    static bool IsValid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { ::CloseHandle(h); }
};
struct FindHandleTraits {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(HANDLE h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static void Close(HANDLE h) { ::FindClose(h); }
};
struct KeyTraits {
    static HKEY Invalid() { return nullptr; }
    static bool IsValid(HKEY h) { return h != nullptr; }
    static void Close(HKEY h) { ::RegCloseKey(h); }
};
struct ServiceTraits {
    static SC_HANDLE Invalid() { return nullptr; }
    static bool IsValid(SC_HANDLE h) { return h != nullptr; }
    static void Close(SC_HANDLE h) { ::CloseServiceHandle(h); }
};
struct ModuleTraits {
    static HMODULE Invalid() { return nullptr; }
    static bool IsValid(HMODULE h) { return h != nullptr; }
    static void Close(HMODULE h) { ::FreeLibrary(h); }
};
struct GdiObjectTraits {
    static HGDIOBJ Invalid() { return nullptr; }
    static bool IsValid(HGDIOBJ h) { return h != nullptr; }
    static void Close(HGDIOBJ h) { ::DeleteObject(h); }
};
struct IconTraits {
    static HICON Invalid() { return nullptr; }
    static bool IsValid(HICON h) { return h != nullptr; }
    static void Close(HICON h) { ::DestroyIcon(h); }
};

using ScopedHandle = ScopedHandleT<HANDLE, KernelHandleTraits>;
using ScopedFindHandle = ScopedHandleT<HANDLE, FindHandleTraits>;
using ScopedKey = ScopedHandleT<HKEY, KeyTraits>;
using ScopedService = ScopedHandleT<SC_HANDLE, ServiceTraits>;
using ScopedModule = ScopedHandleT<HMODULE, ModuleTraits>;
using ScopedGdiObject = ScopedHandleT<HGDIOBJ, GdiObjectTraits>;
using ScopedIcon = ScopedHandleT<HICON, IconTraits>;

// Selects an object into a DC for the life of the scope and puts the previous one back.
class ScopedSelectObject {
public:
    ScopedSelectObject(HDC dc, HGDIOBJ obj) : dc_(dc), previous_(::SelectObject(dc, obj)) {}
    ~ScopedSelectObject() { if (previous_ != nullptr) ::SelectObject(dc_, previous_); }
    ScopedSelectObject(const ScopedSelectObject&) = delete;
    ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// COM for the life of the scope, on this thread.
class ScopedCom {
public:
    explicit ScopedCom(DWORD model = COINIT_APARTMENTTHREADED) : hr_(::CoInitializeEx(nullptr, model)) {}
    ~ScopedCom() { if (SUCCEEDED(hr_)) ::CoUninitialize(); }
    ScopedCom(const ScopedCom&) = delete;
    ScopedCom& operator=(const ScopedCom&) = delete;
    bool Ok() const { return SUCCEEDED(hr_); }

private:
    HRESULT hr_;
};

// Switches WOW64 file-system redirection off for the scope (no-op where there is none).
class ScopedWow64RedirectionOff {
public:
    ScopedWow64RedirectionOff();
    ~ScopedWow64RedirectionOff();
    ScopedWow64RedirectionOff(const ScopedWow64RedirectionOff&) = delete;
    ScopedWow64RedirectionOff& operator=(const ScopedWow64RedirectionOff&) = delete;
    bool Disabled() const { return disabled_; }

private:
    PVOID old_ = nullptr;
    bool disabled_ = false;
};

// A COM interface pointer: released once, in the destructor.
template <typename T>
class ScopedComPtr {
public:
    ScopedComPtr() = default;
    ~ScopedComPtr() { Reset(); }
    ScopedComPtr(const ScopedComPtr&) = delete;
    ScopedComPtr& operator=(const ScopedComPtr&) = delete;
    void Reset() { if (p_) { p_->Release(); p_ = nullptr; } }
    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // For out-parameters of CoCreateInstance and QueryInterface.
    void** ReceiveVoid() { Reset(); return reinterpret_cast<void**>(&p_); }

private:
    T* p_ = nullptr;
};

}  // namespace platform::win32
