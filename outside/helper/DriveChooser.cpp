// The drive chooser _Helper.dll draws into the installer's drive page: one check box per fixed
// drive, laid out inside the control the page reserved for it. With OnlySystemDrive only the
// system drive can be chosen; with OnlySystemDisk only the drives on the system drive's disk.
// The choice is saved when the page is left.
#include <windows.h>
#include <winioctl.h>

#include <string>
#include <vector>

#include "outside/helper/HelperState.h"

namespace {

constexpr int kFirstBoxId = 3000;
constexpr int kRowHeight = 24;

struct DriveBox {
    wchar_t letter;
    HWND box;
};

std::vector<DriveBox> g_boxes;
HFONT g_font = nullptr;

wchar_t SystemDriveLetter() {
    wchar_t folder[MAX_PATH] = {};
    return ::GetSystemDirectoryW(folder, MAX_PATH) ? folder[0] : L'C';
}

// Physical disk number of a drive, or -1 when the device cannot tell.
long DiskNumber(wchar_t letter) {
    wchar_t path[] = {L'\\', L'\\', L'.', L'\\', letter, L':', L'\0'};
    HANDLE h = ::CreateFileW(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return -1;
    STORAGE_DEVICE_NUMBER number = {};
    DWORD returned = 0;
    BOOL ok = ::DeviceIoControl(h, IOCTL_STORAGE_GET_DEVICE_NUMBER, nullptr, 0, &number, sizeof number, &returned, nullptr);
    ::CloseHandle(h);
    return ok ? static_cast<long>(number.DeviceNumber) : -1;
}

std::wstring DriveLabel(wchar_t letter, bool system) {
    wchar_t root[] = {letter, L':', L'\\', L'\0'};
    wchar_t volume[MAX_PATH + 1] = {};
    ::GetVolumeInformationW(root, volume, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0);
    std::wstring label = std::wstring(1, letter) + L": ";
    label += volume[0] ? volume : L"\uB85C\uCEEC \uB514\uC2A4\uD06C";  // 로컬 디스크
    if (system) label += L" (\uC2DC\uC2A4\uD15C)";                      // (시스템)
    return label;
}

}  // namespace

extern "C" __declspec(dllexport) int __cdecl ReleaseProtectDriveCtrl();

extern "C" __declspec(dllexport) int __cdecl CreateProtectDriveCtrl(HWND page, HWND control, int onlySystemDisk,
                                                                    int onlySystemDrive) {
    if (!g_boxes.empty()) ReleaseProtectDriveCtrl();
    if (!::IsWindow(control)) {
        helper::LogCall(L"CreateProtectDriveCtrl(%p, %p, %d, %d) -> 0", page, control, onlySystemDisk, onlySystemDrive);
        return 0;
    }
    if (!g_font) {
        NONCLIENTMETRICSW metrics = {};
        metrics.cbSize = sizeof metrics;
        ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
        g_font = ::CreateFontIndirectW(&metrics.lfMessageFont);
    }
    RECT area = {};
    ::GetClientRect(control, &area);
    wchar_t systemLetter = SystemDriveLetter();
    long systemDisk = onlySystemDisk ? DiskNumber(systemLetter) : -1;
    std::wstring chosen = L"";
    int row = 0;
    for (wchar_t letter = L'C'; letter <= L'Z'; ++letter) {
        wchar_t root[] = {letter, L':', L'\\', L'\0'};
        if (::GetDriveTypeW(root) != DRIVE_FIXED) continue;
        bool system = letter == systemLetter;
        bool allowed = system || (!onlySystemDrive && (!onlySystemDisk || systemDisk < 0 || DiskNumber(letter) == systemDisk));
        HWND box = ::CreateWindowExW(0, L"BUTTON", DriveLabel(letter, system).c_str(),
                                     WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX | (allowed ? 0 : WS_DISABLED),
                                     8, 8 + row * kRowHeight, area.right - 16, kRowHeight - 4, control,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstBoxId + row)),
                                     ::GetModuleHandleW(nullptr), nullptr);
        if (!box) continue;
        ::SendMessageW(box, WM_SETFONT, reinterpret_cast<WPARAM>(g_font), TRUE);
        ::SendMessageW(box, BM_SETCHECK, allowed ? BST_CHECKED : BST_UNCHECKED, 0);
        g_boxes.push_back(DriveBox{letter, box});
        if (allowed) chosen.push_back(letter);
        ++row;
    }
    ::InvalidateRect(control, nullptr, TRUE);
    helper::LogCall(L"CreateProtectDriveCtrl(%p, %p, %d, %d) -> 1 drives \"%ls\"", page, control, onlySystemDisk,
                    onlySystemDrive, chosen.c_str());
    return 1;
}

extern "C" __declspec(dllexport) int __cdecl ReleaseProtectDriveCtrl() {
    std::wstring chosen;
    for (const DriveBox& d : g_boxes) {
        if (::IsWindow(d.box)) {
            if (::SendMessageW(d.box, BM_GETCHECK, 0, 0) == BST_CHECKED) chosen.push_back(d.letter);
            ::DestroyWindow(d.box);
        }
    }
    bool had = !g_boxes.empty();
    g_boxes.clear();
    if (had) helper::WriteText(L"ProtectDrives", chosen);
    helper::LogCall(L"ReleaseProtectDriveCtrl() -> 1 drives \"%ls\"", chosen.c_str());
    return 1;
}
