// In-memory store and system for native tests of the engine: a "machine" whose restart, clock
// and drives the test controls, with fault injection on every store call.
#pragma once

#include <string>
#include <vector>

#include "outside/corvane/CoreStore.h"
#include "platform/memory/FaultInjector.h"

namespace corvane_core {

class MemoryCoreStore : public ICoreStore {
public:
    bool Lock() override { return !faults.Check("Lock"); }
    void Unlock() override {}
    LoadResult Load(std::vector<uint8_t>& bytes) override {
        if (faults.Check("Load")) return LoadResult::Failed;
        if (!hasState) return LoadResult::Missing;
        bytes = state;
        return LoadResult::Ok;
    }
    bool Save(const std::vector<uint8_t>& bytes) override {
        if (faults.Check("Save")) return false;
        state = bytes;
        hasState = true;
        return true;
    }
    bool Erase() override {
        if (faults.Check("Erase")) return false;
        state.clear();
        hasState = false;
        return true;
    }
    bool SessionExists(bool& exists) override {
        if (faults.Check("SessionExists")) return false;
        exists = sessionAlive;
        return true;
    }
    bool CreateSession() override {
        if (faults.Check("CreateSession")) return false;
        sessionAlive = true;
        wrongPasswords = 0;
        return true;
    }
    bool ReadWrongPasswords(uint32_t& count) override {
        if (faults.Check("ReadWrongPasswords")) return false;
        count = wrongPasswords;
        return true;
    }
    bool WriteWrongPasswords(uint32_t count) override {
        if (faults.Check("WriteWrongPasswords")) return false;
        wrongPasswords = count;
        return true;
    }

    // A restart: volatile things vanish, the persistent state stays.
    void Restart() {
        sessionAlive = false;
        wrongPasswords = 0;
    }

    std::vector<uint8_t> state;
    bool hasState = false;
    bool sessionAlive = false;
    uint32_t wrongPasswords = 0;
    platform::memory::FaultInjector faults;
};

class MemoryCoreSystem : public ICoreSystem {
public:
    corvane_ioctl::CORVANE_SYSTEMTIME Now() override { return now; }
    std::vector<FixedDrive> FixedDrives() override { return drives; }

    void Set(uint16_t year, uint16_t month, uint16_t day, uint16_t hour = 9, uint16_t minute = 0) {
        now = {};
        now.wYear = year; now.wMonth = month; now.wDay = day; now.wHour = hour; now.wMinute = minute;
    }

    corvane_ioctl::CORVANE_SYSTEMTIME now{2026, 3, 0, 2, 9, 0, 0, 0};
    std::vector<FixedDrive> drives{{'C', 256ull << 30}, {'D', 512ull << 30}};
};

}  // namespace corvane_core
