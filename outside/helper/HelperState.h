// Shared pieces of _Helper.dll: the call log and the state key.
#pragma once

#include <windows.h>

#include <string>

namespace helper {

// One line per call in "_Helper.log" beside the library (UTF-8), so tests and support can see
// the arguments every export got.
void LogCall(const wchar_t* format, ...);

// State kept under HKLM "SOFTWARE\Talvoric\CorvaneHelper".
DWORD ReadNumber(const wchar_t* name, DWORD fallback);
bool WriteNumber(const wchar_t* name, DWORD value);
bool WriteText(const wchar_t* name, const std::wstring& value);

HMODULE Module();

}  // namespace helper
