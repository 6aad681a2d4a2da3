// corvane.dll: the core object handed to the control program. Each CorvaneCreate makes an
// independent object; they share the machine's state through the registry store, so several
// programs (and threads) may use the library at once.
#include <windows.h>

#include <new>

#include "control/core/CorvaneInterface.h"
#include "control/core/CorvaneResults.h"
#include "outside/corvane/CoreEngine.h"
#include "outside/corvane/RegistryCoreStore_win32.h"

namespace {

using corvane_core::CoreEngine;

class CoreObject : public ICorvaneControl, public ICorvanePasswordHash {
public:
    CoreObject() : engine_(store_, system_) {
        core_.control = this;
        core_.passwordHash = this;
    }
    virtual ~CoreObject() = default;
    CORVANE_CORE* Core() { return &core_; }

    uint32_t CORVANE_CALL GetLastResult() override { return lastResult_; }
    bool CORVANE_CALL GetStatus(corvane_ioctl::CORVANE_STATUS* status) override {
        return status ? Done(engine_.GetStatus(*status)) : Done(CORVANE_E_INVALID_ARGUMENT);
    }
    bool CORVANE_CALL GetConfig(corvane_ioctl::CORVANE_CONFIG* config) override {
        return config ? Done(engine_.GetConfig(*config)) : Done(CORVANE_E_INVALID_ARGUMENT);
    }
    bool CORVANE_CALL SetConfig(const corvane_ioctl::CORVANE_CONFIG* config) override {
        return config ? Done(engine_.SetConfig(*config)) : Done(CORVANE_E_INVALID_ARGUMENT);
    }
    bool CORVANE_CALL VerifyPassword(uint32_t hash) override { return Done(engine_.VerifyPassword(hash)); }
    bool CORVANE_CALL ChangePassword(uint32_t oldHash, uint32_t newHash) override {
        return Done(engine_.ChangePassword(oldHash, newHash));
    }
    void CORVANE_CALL Reserved6() override {}
    bool CORVANE_CALL SetProtectMode(uint32_t hash, int32_t mode) override {
        return Done(engine_.SetProtectMode(hash, mode));
    }
    bool CORVANE_CALL ReadExtData(CORVANE_EXTDATA* ext) override {
        return ext ? Done(engine_.ReadExtData(*ext)) : Done(CORVANE_E_INVALID_ARGUMENT);
    }
    bool CORVANE_CALL WriteExtData(const CORVANE_EXTDATA* ext) override {
        return ext ? Done(engine_.WriteExtData(*ext)) : Done(CORVANE_E_INVALID_ARGUMENT);
    }
    bool CORVANE_CALL CreateCache(CorvaneCacheCallback callback, int32_t) override {
        return Done(engine_.CreateCache(callback));
    }
    bool CORVANE_CALL DeleteCache() override { return Done(engine_.DeleteCache()); }

    void CORVANE_CALL Reserved0() override {}
    void CORVANE_CALL Reserved1() override {}
    uint32_t CORVANE_CALL HashPassword(const wchar_t* password) override {
        return CoreEngine::HashPassword(password);
    }

private:
    // The result of the last failed call is kept per thread, as with GetLastError: the boot-cache
    // worker and the window thread use one core object at the same time.
    bool Done(uint32_t result) {
        if (result != CORVANE_S_OK) lastResult_ = result;
        return result == CORVANE_S_OK;
    }

    static thread_local uint32_t lastResult_;
    corvane_core::RegistryCoreStore store_;
    corvane_core::Win32CoreSystem system_;
    CoreEngine engine_;
    CORVANE_CORE core_{};
};

thread_local uint32_t CoreObject::lastResult_ = CORVANE_S_OK;

}  // namespace

extern "C" __declspec(dllexport) CORVANE_CORE* CORVANE_CALL CorvaneCreate(void) {
    CoreObject* object = new (std::nothrow) CoreObject();
    return object ? object->Core() : nullptr;
}

extern "C" __declspec(dllexport) void CORVANE_CALL CorvaneDelete(CORVANE_CORE* core) {
    if (core == nullptr) return;
    delete static_cast<CoreObject*>(core->control);
}
