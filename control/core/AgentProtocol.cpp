#include "control/core/AgentProtocol.h"

#include <cstdio>
#include <cstring>
#include <limits>

namespace corvane_agent {

namespace {

constexpr char kMarker[kMarkerSize] = {'c', 'o', 'r', 'v', 'a', 'n', 'e', '\0'};

void PutU16(uint8_t* at, uint16_t value) {
    at[0] = static_cast<uint8_t>(value & 0xFF);
    at[1] = static_cast<uint8_t>(value >> 8);
}

uint16_t GetU16(const uint8_t* at) { return static_cast<uint16_t>(at[0] | (at[1] << 8)); }

}  // namespace

Request EncodeRequest(uint16_t commandClass, uint16_t commandCode, const int* argument) {
    Request request{};
    std::memcpy(request.data(), kMarker, kMarkerSize);
    PutU16(&request[kClassOffset], commandClass);
    PutU16(&request[kCodeOffset], commandCode);
    if (argument != nullptr) {
        char text[16];
        int n = std::snprintf(text, sizeof text, "%d", *argument);
        std::memcpy(&request[kArgumentOffset], text, static_cast<size_t>(n));
    }
    return request;
}

bool ReplyHasMarker(const Reply& reply) { return std::memcmp(reply.data(), kMarker, kMarkerSize) == 0; }

int32_t ReplyResult(const Reply& reply) {
    const uint8_t* at = &reply[kResultOffset];
    uint32_t value = static_cast<uint32_t>(at[0]) | (static_cast<uint32_t>(at[1]) << 8) |
                     (static_cast<uint32_t>(at[2]) << 16) | (static_cast<uint32_t>(at[3]) << 24);
    return static_cast<int32_t>(value);
}

RequestError ParseRequest(const uint8_t* data, size_t size, ParsedRequest& request) {
    if (data == nullptr || size != kRequestSize) return RequestError::WrongSize;
    if (std::memcmp(data, kMarker, kMarkerSize) != 0) return RequestError::WrongMarker;
    const uint8_t* argument = data + kArgumentOffset;
    const void* end = std::memchr(argument, 0, kArgumentSize);
    if (end == nullptr) return RequestError::UnterminatedArgument;
    request.commandClass = GetU16(data + kClassOffset);
    request.commandCode = GetU16(data + kCodeOffset);
    request.argument.assign(reinterpret_cast<const char*>(argument),
                            static_cast<size_t>(static_cast<const uint8_t*>(end) - argument));
    return RequestError::None;
}

Reply EncodeReply(uint16_t commandClass, uint16_t commandCode, int32_t result) {
    Reply reply{};
    std::memcpy(reply.data(), kMarker, kMarkerSize);
    PutU16(&reply[kClassOffset], commandClass);
    PutU16(&reply[kCodeOffset], commandCode);
    uint32_t value = static_cast<uint32_t>(result);
    for (int i = 0; i < 4; ++i) reply[kResultOffset + i] = static_cast<uint8_t>(value >> (8 * i));
    return reply;
}

bool ParseDecimalArgument(const std::string& text, int& value) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && text[i] == '-') { negative = true; ++i; }
    if (i == text.size()) return false;
    long long magnitude = 0;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (c < '0' || c > '9') return false;
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > static_cast<long long>(std::numeric_limits<int>::max()) + 1) return false;
    }
    long long signedValue = negative ? -magnitude : magnitude;
    if (signedValue > std::numeric_limits<int>::max()) return false;
    value = static_cast<int>(signedValue);
    return true;
}

}  // namespace corvane_agent
