// The control program's application object: start-up, the main window's modal run, shut-down.
#pragma once

#include <windows.h>

#include <string>

namespace control::app {

class CHDDCorvaneApp {
public:
    // Runs the start-up steps and the main window; always false, so the process then ends.
    BOOL InitInstance();
    // Stops GDI+ with the token kept from start-up.
    int ExitInstance();

    // True when another control program runs; it has then been asked to show its window.
    static bool CheckRunningInstance();

    // The framework's per-user settings key name; the program stores nothing there itself.
    const std::wstring& RegistryKey() const { return m_strRegistryKey; }

private:
    ULONG_PTR m_gdiplusToken = 0;
    std::wstring m_strRegistryKey;
    friend class Win32StartupHost;
};

}  // namespace control::app
