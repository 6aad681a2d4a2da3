// The installer's log as the engine sees it: one call that formats a line (printf rules for
// UTF-16 text; use %ls for wide strings so the same format works on every compiler) and writes
// it. The real log (file + debug pipe) and the memory log of the tests implement WriteText.
#pragma once

#include <cstdarg>
#include <cwchar>
#include <string>
#include <vector>

namespace platform {

class ILog {
public:
    virtual ~ILog() = default;
    virtual void WriteText(const std::wstring& text) = 0;

    void Write(const wchar_t* format, ...) {
        va_list args;
        va_start(args, format);
        WriteText(FormatV(format, args));
        va_end(args);
    }

    static std::wstring FormatV(const wchar_t* format, va_list args) {
        std::vector<wchar_t> buffer(65536);
        va_list copy;
        va_copy(copy, args);
        int n = std::vswprintf(buffer.data(), buffer.size(), format, copy);
        va_end(copy);
        if (n < 0) {
            // Too long for the buffer: keep what fits, as the log always did.
            buffer.back() = L'\0';
            return std::wstring(buffer.data());
        }
        return std::wstring(buffer.data(), static_cast<size_t>(n));
    }
};

}  // namespace platform
