#include "platform/ports/Registry.h"

#include "platform/ports/TextCodec.h"

namespace platform {

std::vector<uint8_t> RegStringBytes(const std::wstring& text) {
    std::u16string units = platform::text::ToUtf16(text);
    std::vector<uint8_t> bytes;
    bytes.reserve((units.size() + 1) * 2);
    for (char16_t unit : units) {
        bytes.push_back(static_cast<uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<uint8_t>(unit >> 8));
    }
    bytes.push_back(0);
    bytes.push_back(0);
    return bytes;
}

std::vector<uint8_t> RegDwordBytes(uint32_t value) {
    return {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value >> 16),
            static_cast<uint8_t>(value >> 24)};
}

std::wstring RegBytesToString(const std::vector<uint8_t>& data) {
    std::u16string units;
    for (size_t i = 0; i + 1 < data.size(); i += 2) {
        char16_t unit = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
        if (unit == u'\0') break;
        units.push_back(unit);
    }
    return platform::text::FromUtf16(units);
}

}  // namespace platform
