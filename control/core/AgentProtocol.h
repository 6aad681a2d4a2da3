// The wire format spoken with the agent service "CorvaneAgent" on 127.0.0.1:30000: one
// 526-byte request and one 534-byte reply per connection, integers little-endian. Both ends
// use these functions, so the layout is written down once.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace corvane_agent {

constexpr uint16_t kAgentPort = 30000;
constexpr const char* kAgentAddress = "127.0.0.1";

constexpr size_t kRequestSize = 526;
constexpr size_t kReplySize = 534;
constexpr size_t kMarkerSize = 8;  // "corvane" and its terminating zero
constexpr size_t kClassOffset = 10;
constexpr size_t kCodeOffset = 12;
constexpr size_t kArgumentOffset = 14;
constexpr size_t kArgumentSize = 512;
constexpr size_t kResultOffset = 526;

// Command classes and codes.
constexpr uint16_t kClassVDisk = 1;
constexpr uint16_t kCodeSetVDiskEnable = 0;
constexpr uint16_t kCodeGetVDiskEnable = 1;
constexpr uint16_t kClassSecurity = 3;
constexpr uint16_t kCodeSetWindowsUpdate = 2;
constexpr uint16_t kCodeSetStorageBlocked = 3;
constexpr uint16_t kCodeSetStorageSecurity = 4;

using Request = std::array<uint8_t, kRequestSize>;
using Reply = std::array<uint8_t, kReplySize>;

// --- client side ---

// A request for `commandClass`/`commandCode`; with `argument` its "%d" text at offset 14,
// without it (nullptr) zeros there.
Request EncodeRequest(uint16_t commandClass, uint16_t commandCode, const int* argument);

// True when `reply` begins with exactly "corvane" and its terminating zero.
bool ReplyHasMarker(const Reply& reply);

// The signed 32-bit result at offset 526.
int32_t ReplyResult(const Reply& reply);

// --- service side ---

enum class RequestError {
    None,
    WrongSize,            // not exactly 526 bytes
    WrongMarker,          // offset 0 is not "corvane" and a zero
    UnterminatedArgument, // no zero within the 512 argument bytes
};

struct ParsedRequest {
    uint16_t commandClass = 0;
    uint16_t commandCode = 0;
    std::string argument;  // the text up to its terminating zero (empty when none was sent)
};

RequestError ParseRequest(const uint8_t* data, size_t size, ParsedRequest& request);

// A reply carrying the marker, the command it answers (offsets 10 and 12, for whoever reads
// a capture) and `result` at offset 526.
Reply EncodeReply(uint16_t commandClass, uint16_t commandCode, int32_t result);

// Reads a whole argument text as a decimal int: optional minus sign, digits only, in range.
bool ParseDecimalArgument(const std::string& text, int& value);

}  // namespace corvane_agent
