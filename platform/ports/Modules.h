// Loading a DLL by name and resolving its exports.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

namespace platform {

class IModule {
public:
    virtual ~IModule() = default;  // frees the module
    // GetProcAddress; null and the error when the export is missing.
    virtual void* Export(const char* name, uint32_t& error) = 0;
};

class IModules {
public:
    virtual ~IModules() = default;
    // LoadLibraryW with the normal search order; null and the error on failure.
    virtual std::unique_ptr<IModule> Load(const std::wstring& name, uint32_t& error) = 0;
};

}  // namespace platform
