// Fault injection for the in-memory platform: any named call can be told to fail with a chosen
// Windows error code, either on every call or only on its n-th call. Memory ports ask Check()
// at the top of each operation and, when it answers non-zero, fail with that error as their
// Win32 counterpart would (false / invalid result and the error as last error).
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace platform::memory {

class FaultInjector {
public:
    // Fail every call of `operation` with `error`.
    void FailAlways(const std::string& operation, uint32_t error) { rules_[operation] = {0, error}; }

    // Fail only the n-th call (1-based, counted from now) of `operation` with `error`.
    void FailNth(const std::string& operation, int n, uint32_t error) {
        rules_[operation] = {calls_[operation] + n, error};
    }

    // Fail the n-th call of any operation, counted over all operations from now.
    void FailNthOfAny(int n, uint32_t error) { anyAt_ = totalCalls_ + n; anyError_ = error; }

    void Clear() { rules_.clear(); anyAt_ = 0; }

    // Counts the call and returns the error to fail it with, or 0 to let it succeed.
    uint32_t Check(const std::string& operation) {
        int nth = ++calls_[operation];
        ++totalCalls_;
        if (anyAt_ != 0 && totalCalls_ == anyAt_) return anyError_;
        auto it = rules_.find(operation);
        if (it == rules_.end()) return 0;
        if (it->second.atCall == 0 || it->second.atCall == nth) return it->second.error;
        return 0;
    }

    int Calls(const std::string& operation) const {
        auto it = calls_.find(operation);
        return it == calls_.end() ? 0 : it->second;
    }
    int TotalCalls() const { return totalCalls_; }

private:
    struct Rule { int atCall; uint32_t error; };
    std::map<std::string, Rule> rules_;
    std::map<std::string, int> calls_;
    int totalCalls_ = 0;
    int anyAt_ = 0;
    uint32_t anyError_ = 0;
};

}  // namespace platform::memory
