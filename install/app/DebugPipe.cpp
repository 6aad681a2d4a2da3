#include "install/app/DebugPipe.h"

#include "platform/ports/TextCodec.h"

namespace install {

std::string DebugPipeMessage(const std::wstring& text) {
    std::u16string units = platform::text::ToUtf16(text);
    if (units.size() > kDebugPipeMaxUnits) units.resize(kDebugPipeMaxUnits);
    units.push_back(u'\0');
    return platform::text::ToUtf16LeBytes(units);
}

bool DebugPipe::Connect() {
    uint32_t now = facts_.TickCount();
    if (now - lastAttempt_ < kDebugPipeRetryMs) return false;
    lastAttempt_ = now;
    if (!pipe_.Connect(kDebugPipeName)) return false;
    if (!pipe_.Write(DebugPipeMessage(kDebugPipeGreeting))) {
        pipe_.Disconnect();
        return false;
    }
    return true;
}

void DebugPipe::Write(const std::wstring& text) {
    std::lock_guard<std::mutex> guard(lock_);
    if (!pipe_.Connected() && !Connect()) return;
    // A broken pipe is forgotten; the next text may reconnect once the retry time has passed.
    if (!pipe_.Write(DebugPipeMessage(text))) pipe_.Disconnect();
}

}  // namespace install
