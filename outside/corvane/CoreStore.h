// What the core engine needs from the machine: a persistent store, a per-start session, a
// lock shared by every process, the clock and the fixed drives. The Win32 versions use the
// registry (the session is a volatile key, so it vanishes with a restart); tests use
// MemoryCoreStore.
#pragma once

#include <cstdint>
#include <vector>

#include "control/core/CorvaneRecords.h"

namespace corvane_core {

class ICoreStore {
public:
    virtual ~ICoreStore() = default;

    // Serialises load-modify-save across threads and processes.
    virtual bool Lock() = 0;
    virtual void Unlock() = 0;

    enum class LoadResult { Ok, Missing, Failed };
    virtual LoadResult Load(std::vector<uint8_t>& bytes) = 0;
    // Replaces the whole state at once, so a reader never sees half of it.
    virtual bool Save(const std::vector<uint8_t>& bytes) = 0;
    // Forgets the persistent state (the test tool's reset).
    virtual bool Erase() = 0;

    // The session lives from one system start to the next.
    virtual bool SessionExists(bool& exists) = 0;
    virtual bool CreateSession() = 0;
    // Wrong passwords since this start; kept in the session so a restart clears it.
    virtual bool ReadWrongPasswords(uint32_t& count) = 0;
    virtual bool WriteWrongPasswords(uint32_t count) = 0;
};

struct FixedDrive {
    char letter;
    uint64_t totalBytes;
};

class ICoreSystem {
public:
    virtual ~ICoreSystem() = default;
    virtual corvane_ioctl::CORVANE_SYSTEMTIME Now() = 0;  // local time
    virtual std::vector<FixedDrive> FixedDrives() = 0;    // C..Z, in letter order
};

}  // namespace corvane_core
