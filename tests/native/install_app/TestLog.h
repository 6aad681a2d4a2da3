// A log that keeps every text, for checking what the installer wrote.
#pragma once

#include <string>
#include <vector>

#include "platform/ports/Log.h"

namespace install::testing_support {

struct RecordingLog : platform::ILog {
    std::vector<std::wstring> texts;
    void WriteText(const std::wstring& text) override { texts.push_back(text); }
    bool Contains(const std::wstring& text) const {
        for (const auto& t : texts) if (t == text) return true;
        return false;
    }
    std::wstring All() const {
        std::wstring all;
        for (const auto& t : texts) all += t;
        return all;
    }
};

}  // namespace install::testing_support
