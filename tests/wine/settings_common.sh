# shellcheck shell=bash
# Helpers shared by the Wine tests of the administrator settings (sourced after
# scripts/wine-env.sh): checks, the program's windows, and a small probe that reaches what
# cvauto cannot: controls nested in pages of pages, and the texts of the tray's tooltips.

fail() { echo "FAIL: $*"; echo "(output: ${WINE_ENV_DIR:-?})"; exit 1; }

product="HDD Corvane 9"
countdown_title="하드코르바네"
WM_TRAY_NOTIFY=1124
WM_CLOSE=16

# The probe, built for the bitness of the programs under test (pointers cross processes).
_settings_probe_source() {
    cat <<'EOF'
#include <windows.h>
#include <commctrl.h>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

static std::vector<HWND> g_found;
struct Want { const wchar_t* title; int id; const wchar_t* cls; };
static Want g_want;

static bool ClassIs(HWND h, const wchar_t* cls) {
    wchar_t name[256] = {};
    GetClassNameW(h, name, 255);
    return cls == nullptr || _wcsicmp(name, cls) == 0;
}
static BOOL CALLBACK Child(HWND h, LPARAM) {
    if (GetDlgCtrlID(h) == g_want.id && ClassIs(h, g_want.cls)) g_found.push_back(h);
    return TRUE;
}
static BOOL CALLBACK Top(HWND h, LPARAM) {
    wchar_t title[512] = {};
    GetWindowTextW(h, title, 511);
    if (wcscmp(title, g_want.title) == 0) EnumChildWindows(h, Child, 0);
    return TRUE;
}
static void PrintUtf8(const std::wstring& text) {
    int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &out[0], n, nullptr, nullptr);
    std::printf("%s\n", out.c_str());
}
static BOOL CALLBACK Tooltip(HWND h, LPARAM) {
    if (!ClassIs(h, L"tooltips_class32")) return TRUE;
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!process) return TRUE;
    const SIZE_T textBytes = 1024 * sizeof(wchar_t);
    char* remote = static_cast<char*>(VirtualAllocEx(process, nullptr, sizeof(TTTOOLINFOW) + textBytes,
                                                     MEM_COMMIT, PAGE_READWRITE));
    int count = static_cast<int>(SendMessageW(h, TTM_GETTOOLCOUNT, 0, 0));
    for (int i = 0; remote && i < count; ++i) {
        TTTOOLINFOW info{};
        info.cbSize = sizeof info;
        info.lpszText = reinterpret_cast<wchar_t*>(remote + sizeof info);
        wchar_t text[1024] = {};
        WriteProcessMemory(process, remote, &info, sizeof info, nullptr);
        WriteProcessMemory(process, remote + sizeof info, text, textBytes, nullptr);
        if (!SendMessageW(h, TTM_ENUMTOOLSW, i, reinterpret_cast<LPARAM>(remote))) continue;
        ReadProcessMemory(process, remote + sizeof info, text, textBytes - sizeof(wchar_t), nullptr);
        if (text[0]) PrintUtf8(text);
    }
    if (remote) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    return TRUE;
}

int wmain(int argc, wchar_t** argv) {
    if (argc >= 2 && wcscmp(argv[1], L"tooltips") == 0) {
        EnumWindows(Tooltip, 0);
        return 0;
    }
    // find TITLE ID CLASS|- UP
    if (argc != 6 || wcscmp(argv[1], L"find") != 0) return 2;
    g_want = {argv[2], _wtoi(argv[3]), wcscmp(argv[4], L"-") == 0 ? nullptr : argv[4]};
    EnumWindows(Top, 0);
    if (g_found.empty()) return 1;
    HWND h = g_found.front();
    for (int up = _wtoi(argv[5]); up > 0 && h; --up) h = GetParent(h);
    std::printf("0x%08llx\n", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(h)));
    return h ? 0 : 1;
}
EOF
}

settings_probe_build() {
    local out=$CORVANE_TEST_OUT/settings_probe compiler
    compiler=i686-w64-mingw32-g++-posix
    [ "${WINE_ENV_BITS:-32}" = 64 ] && compiler=x86_64-w64-mingw32-g++-posix
    mkdir -p "$out"
    SETTINGS_PROBE=$out/probe$WINE_ENV_BITS.exe
    [ -f "$SETTINGS_PROBE" ] && return 0
    _settings_probe_source >"$out/probe.cpp"
    "$compiler" -std=c++17 -O1 -static -municode -o "$SETTINGS_PROBE.tmp" "$out/probe.cpp" -lcomctl32 &&
        mv "$SETTINGS_PROBE.tmp" "$SETTINGS_PROBE"
}

# probe_find ID CLASS|- UP: the hwnd UP levels above the first control ID (of CLASS) in the
# product's windows; waits up to 10 s for it.
probe_find() {
    local i h
    for i in $(seq 1 50); do
        h=$(WINEDEBUG=-all "$WINE_LOADER" "$SETTINGS_PROBE" find "$product" "$1" "$2" "$3" 2>/dev/null | tr -d '\r')
        [ -n "$h" ] && { echo "$h"; return 0; }
        sleep 0.2
    done
    return 1
}
probe_tooltips() { WINEDEBUG=-all "$WINE_LOADER" "$SETTINGS_PROBE" tooltips 2>/dev/null | tr -d '\r'; }

# Installs the program, its core library, the test tool and the agent service (the program waits
# for it before its window exists) into C:\Corvane; sets $app.
settings_install() {
    app=$(wine_install_product_files 'C:\Corvane' Corvane.exe corvane.dll corvanectl.exe CorvaneAgent.exe) ||
        fail "install"
    wine_run "$app\\CorvaneAgent.exe" /install >/dev/null || fail "CorvaneAgent.exe /install"
    settings_probe_build || fail "probe build"
}
ctl() { wine_run "$app\\corvanectl.exe" "$@" | tr -d '\r'; }

# Starts Corvane.exe, waits for its tray icon and opens the window on the settings tab; sets
# $corvane (pid) and $settings (the settings container's hwnd).
settings_open() {
    wine_start "$app\\Corvane.exe"
    corvane=$WINE_LAST_PID
    wine_debug_wait '^Corvane tray icon added$' 40 || fail "no tray icon"
    main_window=$(cvauto wait --title "$product" --class "#32770" --hidden | tr -d '\r')
    cvauto post --hwnd "$main_window" --hidden --msg $WM_TRAY_NOTIFY --lparam 515 >/dev/null
    wine_debug_wait '^Corvane main window opened$' 10 || fail "window not opened"
    cvauto click-at --hwnd "$main_window" --x 560 --y 55 >/dev/null   # tab 6
    wine_debug_wait '^Corvane page 6 shown$' 10 || fail "settings tab not shown"
    settings=$(probe_find 1058 Button 2) || fail "no settings container"
}

# settings_menu ITEM: clicks the container's menu item 1-6 (band tops 35 + 31 k).
settings_menu() {
    cvauto click-at --hwnd "$settings" --x 100 --y $((35 + 31 * ($1 - 1) + 15)) >/dev/null
    wine_debug_wait "^Corvane settings item $1 shown\$" 10
}

# The visible dialog titled with the product name that is not the main window: the password
# prompt or a message box. Waits up to 10 s.
other_dialog() {
    local i h
    for i in $(seq 1 50); do
        h=$(cvauto list | tr -d '\r' | awk -F'\t' -v t="$product" -v m="$main_window" \
            '$NF == t && $3 == "#32770" && $4 == 1 && $1 != m { print $1; exit }')
        [ -n "$h" ] && { echo "$h"; return 0; }
        sleep 0.2
    done
    return 1
}

# Types PASSWORD into the prompt and presses OK.
answer_prompt() {
    local h
    h=$(other_dialog) || return 1
    cvauto set-text --hwnd "$h" --id 1005 --text "$1" >/dev/null || return 1
    cvauto click --hwnd "$h" --id 1 >/dev/null
}

# Prints the text of the message box now shown and presses BUTTON on it; with SHOT, a
# screenshot of it first.
message_answer() {  # message_answer BUTTON [SHOT.png]
    local h text
    h=$(other_dialog) || return 1
    text=$(cvauto msgbox-text --hwnd "$h")
    [ -n "${2:-}" ] && wine_screenshot "$2" >/dev/null
    cvauto click --hwnd "$h" --id "$1" >/dev/null
    cvauto wait-gone --hwnd "$h" --timeout 5000 >/dev/null 2>&1
    printf '%s\n' "$text"
}
