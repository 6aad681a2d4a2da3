#include "install/app/Win32VersionBox.h"

#include <windows.h>

#include "install/app/FileVersionInfo.h"

namespace install {

void ShowVersionBox(void* owner, const std::wstring& productDisplayName, const std::wstring& productVersion) {
    ::MessageBoxW(static_cast<HWND>(owner), VersionBoxText(productDisplayName, productVersion).c_str(), kVersionBoxCaption,
                  MB_OK | MB_ICONINFORMATION);
}

}  // namespace install
