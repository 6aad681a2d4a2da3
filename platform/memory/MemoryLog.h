// A log for tests: keeps every line written, in order.
#pragma once

#include <string>
#include <vector>

#include "platform/ports/Log.h"

namespace platform::memory {

class MemoryLog : public ILog {
public:
    void WriteText(const std::wstring& text) override { lines.push_back(text); }

    bool Contains(const std::wstring& line) const {
        for (const auto& l : lines)
            if (l == line) return true;
        return false;
    }

    std::vector<std::wstring> lines;
};

}  // namespace platform::memory
