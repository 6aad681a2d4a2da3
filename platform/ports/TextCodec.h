// Conversions between std::wstring (UTF-16 on Windows, UTF-32 elsewhere) and the byte forms the
// installer reads and writes: UTF-16LE for the debug pipe and Unicode INI files, UTF-8 for the
// log file. Byte formats are always encoded explicitly so both builds produce the same bytes.
#pragma once

#include <cstdint>
#include <string>

namespace platform::text {

// UTF-16 code units of `text`; characters outside the BMP become surrogate pairs.
inline std::u16string ToUtf16(const std::wstring& text) {
    std::u16string out;
    out.reserve(text.size());
    for (wchar_t ch : text) {
        uint32_t c = static_cast<uint32_t>(ch);
        if (sizeof(wchar_t) == 4 && c > 0xFFFF) {
            if (c > 0x10FFFF) c = 0xFFFD;
            else {
                c -= 0x10000;
                out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
                out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
                continue;
            }
        }
        out.push_back(static_cast<char16_t>(c));
    }
    return out;
}

// The reverse of ToUtf16; on UTF-32 builds well-formed surrogate pairs are joined.
inline std::wstring FromUtf16(const char16_t* units, size_t count) {
    std::wstring out;
    out.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        uint32_t c = units[i];
        if (sizeof(wchar_t) == 4 && c >= 0xD800 && c < 0xDC00 && i + 1 < count &&
            units[i + 1] >= 0xDC00 && units[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (units[i + 1] - 0xDC00);
            ++i;
        }
        out.push_back(static_cast<wchar_t>(c));
    }
    return out;
}
inline std::wstring FromUtf16(const std::u16string& units) { return FromUtf16(units.data(), units.size()); }

// Little-endian bytes of the UTF-16 units.
inline std::string ToUtf16LeBytes(const std::u16string& units) {
    std::string bytes;
    bytes.reserve(units.size() * 2);
    for (char16_t u : units) {
        bytes.push_back(static_cast<char>(u & 0xFF));
        bytes.push_back(static_cast<char>(u >> 8));
    }
    return bytes;
}

inline std::string ToUtf8(const std::wstring& text) {
    std::u16string units = ToUtf16(text);
    std::string out;
    out.reserve(units.size());
    for (size_t i = 0; i < units.size(); ++i) {
        uint32_t c = units[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (units[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD;  // a lone surrogate has no UTF-8 form
        }
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

// Decodes UTF-8; returns false (and leaves `out` partial) at the first malformed sequence.
inline bool FromUtf8(const std::string& bytes, std::wstring& out) {
    out.clear();
    std::u16string units;
    size_t i = 0;
    while (i < bytes.size()) {
        uint8_t b = static_cast<uint8_t>(bytes[i]);
        uint32_t c;
        size_t extra;
        if (b < 0x80) { c = b; extra = 0; }
        else if ((b & 0xE0) == 0xC0) { c = b & 0x1F; extra = 1; }
        else if ((b & 0xF0) == 0xE0) { c = b & 0x0F; extra = 2; }
        else if ((b & 0xF8) == 0xF0) { c = b & 0x07; extra = 3; }
        else return false;
        if (extra > 0 && i + extra >= bytes.size()) return false;
        for (size_t k = 1; k <= extra; ++k) {
            uint8_t cont = static_cast<uint8_t>(bytes[i + k]);
            if ((cont & 0xC0) != 0x80) return false;
            c = (c << 6) | (cont & 0x3F);
        }
        static const uint32_t kMin[] = {0, 0x80, 0x800, 0x10000};
        if (c < kMin[extra] || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000)) return false;
        if (c > 0xFFFF) {
            c -= 0x10000;
            units.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
            units.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
        } else {
            units.push_back(static_cast<char16_t>(c));
        }
        i += extra + 1;
    }
    out = FromUtf16(units);
    return true;
}

}  // namespace platform::text
