#include "platform/win32/Win32InstallPorts.h"
#include "platform/win32/ScopedWin.h"

#include <shlobj.h>
#include <shobjidl.h>

namespace platform::win32 {

int32_t Win32Shell::CreateShortcut(const ShortcutSpec& spec) {
    // The engine runs on a worker thread that may not have COM yet.
    ScopedCom com;
    ScopedComPtr<IShellLinkW> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.ReceiveVoid())))
        return E_FAIL;
    link->SetPath(spec.target.c_str());
    link->SetDescription(spec.description.c_str());
    link->SetArguments(spec.arguments.c_str());
    link->SetWorkingDirectory(spec.workingFolder.c_str());
    link->SetIconLocation(spec.iconFile.c_str(), 0);
    ScopedComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.ReceiveVoid()))) return E_FAIL;
    return file->Save(spec.linkPath.c_str(), TRUE);
}

uint32_t Win32Shell::FolderPath(int csidl, std::wstring& path) {
    path.clear();
    wchar_t buffer[MAX_PATH] = {};
    HRESULT hr = ::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buffer);
    if (FAILED(hr)) return HRESULT_FACILITY(hr) == FACILITY_WIN32 ? HRESULT_CODE(hr) : ERROR_FILE_NOT_FOUND;
    path = buffer;
    return 0;
}

}  // namespace platform::win32
