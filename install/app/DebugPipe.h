// The installer's debugging channel: every log line is offered to a named pipe that a viewer
// may be listening on. Nothing depends on a listener; without one, texts are dropped and a
// connection is tried at most once a second so a busy log does not hammer the pipe namespace.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>

#include "platform/ports/LogOutput.h"
#include "platform/ports/SystemFacts.h"

namespace install {

inline constexpr wchar_t kDebugPipeName[] = L"\\\\.\\pipe\\VESKA_DEBUG_PIPE";
inline constexpr wchar_t kDebugPipeGreeting[] = L"Logging Start...";
inline constexpr size_t kDebugPipeMaxUnits = 65535;  // UTF-16 units per text, before the terminator
inline constexpr uint32_t kDebugPipeRetryMs = 1000;

// The wire form of one text: its UTF-16LE units (cut at kDebugPipeMaxUnits) and a zero unit.
std::string DebugPipeMessage(const std::wstring& text);

// Safe to call from any thread; the log also calls it under its own lock so pipe and file
// writes of one line stay one unit.
class DebugPipe {
public:
    DebugPipe(platform::IPipeClient& pipe, platform::ISystemFacts& facts) : pipe_(pipe), facts_(facts) {}
    // DebugPipeWrite: sends one text, connecting first when needed.
    void Write(const std::wstring& text);

private:
    bool Connect();

    platform::IPipeClient& pipe_;
    platform::ISystemFacts& facts_;
    std::mutex lock_;
    uint32_t lastAttempt_ = 0;
};

}  // namespace install
