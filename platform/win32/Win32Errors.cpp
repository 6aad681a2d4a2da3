#include "platform/win32/Win32InstallPorts.h"
#include "platform/win32/ScopedWin.h"

namespace platform::win32 {

uint32_t Win32SystemErrors::Last() { return static_cast<uint32_t>(::GetLastError()); }

void Win32SystemErrors::SetLast(uint32_t error) { ::SetLastError(error); }

std::wstring Win32SystemErrors::Text(uint32_t error) {
    wchar_t buffer[256] = {};
    DWORD length = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0x0409,
                                    buffer, 256, nullptr);
    return std::wstring(buffer, length);
}

}  // namespace platform::win32
