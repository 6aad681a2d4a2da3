#include "install/app/Win32InstallLog.h"

namespace install {

DebugPipe& ProcessDebugPipe() {
    // Never destroyed: logging may still happen while static objects go away at exit.
    static auto* client = new platform::win32::Win32PipeClient();
    static auto* facts = new platform::win32::Win32SystemFacts();
    static auto* pipe = new DebugPipe(*client, *facts);
    return *pipe;
}

void DebugPipeWrite(const std::wstring& text) { ProcessDebugPipe().Write(text); }

}  // namespace install
