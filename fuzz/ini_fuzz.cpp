// libFuzzer entry for the configuration files: InstallInfo.ini and InstallExternalInfo.ini come
// with the package or from a deployment, so any bytes must read without fault into options that
// keep their limits, and the profile model must write back what it read.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "install/app/InstallConfig.h"
#include "platform/memory/MemoryProfile.h"

namespace {

using platform::memory::IniDocument;
using platform::memory::IniKey;

void CheckRoundTrip(const std::string& bytes) {
    IniDocument first = IniDocument::Parse(bytes);
    IniDocument again = IniDocument::Parse(first.Serialize());
    for (const auto& section : first.sections) {
        for (const IniKey& key : section.keys) {
            const IniKey* a = first.Find(section.name, key.name);
            const IniKey* b = again.Find(section.name, key.name);
            if ((a == nullptr) != (b == nullptr)) std::abort();
            if (a && (a->hasValue != b->hasValue || a->value != b->value)) std::abort();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 1 << 16) return 0;
    std::string bytes(reinterpret_cast<const char*>(data), size);
    CheckRoundTrip(bytes);

    // The first byte picks how the input is shared between the two files.
    size_t split = size == 0 ? 0 : (static_cast<size_t>(data[0]) * size) / 256;
    platform::memory::MemoryProfile profile;
    install::InstallConfigFiles files(profile, L"C:\\Package");
    profile.SetFile(files.InstallInfoPath(), bytes.substr(0, split));
    if (split < size) profile.SetFile(files.ExternalInfoPath(), bytes.substr(split));

    install::InstallOptions options;
    int linkEx = 0;
    files.ReadPackageConfiguration(options, linkEx, [] { return true; });
    files.ReadUserConfiguration(options);
    if (options.m_strVDisk0Path.size() > 259 || options.m_strVDisk1Path.size() > 259) std::abort();
    if (options.m_strUserName.size() > 47 || options.m_strCompany.size() > 47) std::abort();
    if (options.m_nNotTurbobootInst != 0 && options.m_nNotTurbobootInst != 1) std::abort();
    if (options.m_nNoVDisk0 != 0 && options.m_strVDisk0Path != options.m_strVDisk1Path) std::abort();
    return 0;
}
