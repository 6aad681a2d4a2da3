// Modules for native tests: a test registers a module name with its exports (function pointers
// of the test), loads and lookups are counted, and missing ones fail as Windows does.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/ports/Modules.h"

namespace platform::memory {

class MemoryModules : public platform::IModules {
public:
    using Exports = std::map<std::string, void*>;
    std::map<std::wstring, Exports> modules;  // by name as asked for
    int loaded = 0;                           // modules loaded and not yet freed
    std::vector<std::string> lookups;

    template <typename Fn>
    void Add(const std::wstring& module, const std::string& name, Fn fn) {
        modules[module][name] = reinterpret_cast<void*>(fn);
    }

    std::unique_ptr<platform::IModule> Load(const std::wstring& name, uint32_t& error) override;
};

}  // namespace platform::memory
