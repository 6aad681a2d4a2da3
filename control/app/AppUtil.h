// Small utilities of the control program used across its windows.
#pragma once

namespace control::app {

// Formats with the C wide printf rules (use %ls for wide strings) and sends the line to the
// debugger. Safe to call from any thread: each call formats into storage of its own.
void DebugPrint(const wchar_t* format, ...);

// Enables SeShutdownPrivilege for this process; true when the adjustment call succeeded.
bool EnableShutdownPrivilege();

// True when this 32-bit process runs on 64-bit Windows; false where kernel32 lacks the check.
bool IsWow64();

}  // namespace control::app
