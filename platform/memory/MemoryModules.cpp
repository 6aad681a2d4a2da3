#include "platform/memory/MemoryModules.h"

namespace platform::memory {

namespace {
constexpr uint32_t kErrorModNotFound = 126;
constexpr uint32_t kErrorProcNotFound = 127;

class MemoryModule : public platform::IModule {
public:
    MemoryModule(MemoryModules& owner, MemoryModules::Exports exports) : owner_(owner), exports_(std::move(exports)) {
        ++owner_.loaded;
    }
    ~MemoryModule() override { --owner_.loaded; }
    void* Export(const char* name, uint32_t& error) override {
        owner_.lookups.push_back(name);
        auto it = exports_.find(name);
        if (it == exports_.end()) { error = kErrorProcNotFound; return nullptr; }
        return it->second;
    }

private:
    MemoryModules& owner_;
    MemoryModules::Exports exports_;
};
}  // namespace

std::unique_ptr<platform::IModule> MemoryModules::Load(const std::wstring& name, uint32_t& error) {
    auto it = modules.find(name);
    if (it == modules.end()) { error = kErrorModNotFound; return nullptr; }
    return std::make_unique<MemoryModule>(*this, it->second);
}

}  // namespace platform::memory
