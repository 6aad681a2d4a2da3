// cvauto: drives the product's windows from a test script.
//
// Usage: cvauto <command> [options]
//
//   wait        --title T [--class C]             a visible top-level window matches; prints its hwnd
//   wait-gone   --title T [--class C]             no matching window is left (visible or not)
//   exists      --title T [--class C]             exit 0 when a visible match exists now, 1 otherwise
//   list        [--pid P] [--all]                 top-level windows: hwnd pid class visible rect title
//   children    --title T                         every child window, nested ones too:
//                                                 id class enabled visible rect text parent-id (0: the window)
//   click       --title T --id N [--via V]        presses control N (see "Clicking" below)
//   get-text    --title T --id N                  prints the control's text (WM_GETTEXT)
//   set-text    --title T --id N --text S         WM_SETTEXT
//   get-check   --title T --id N                  prints 0, 1 or 2 (BM_GETCHECK)
//   send        --title T --msg N [--id N] [--wparam W] [--lparam L]
//                                                 SendMessage to the window (or control N); prints the result
//   post        --title T --msg N [--id N] [--wparam W] [--lparam L]
//   click-at    --title T --x X --y Y [--id N]    WM_LBUTTONDOWN/UP at client coordinates
//   key         --title T --vk N [--id N]         WM_KEYDOWN/UP to control N, else the focused control
//   msgbox-text --title T                         prints the text of a message box
//   rect        --title T                         prints "left top right bottom" of the window
//   lv-items    --title T --id N                  list view rows: index checked selected text [TAB subitems...]
//   lv-check    --title T --id N --item I [--state 0|1]   ticks (default) or clears a row's check box
//   lv-select   --title T --id N --item I         selects and focuses a row
//   tab-select  --title T --id N --item I         clicks tab I of a tab control (as a person would)
//   dtp-get     --title T --id N                  prints "YYYY-MM-DD HH:MM:SS" of a date-time picker
//   dtp-set     --title T --id N [--date YYYY-MM-DD] [--time HH:MM[:SS]]
//   sysinfo                                       what the programs see: version=M.m.b wow64=0|1 acp=N locale=xx-YY
//   help
//
// Window selection: --title matches the whole title exactly; --title-part matches a part of it;
// --class narrows by window class ("#32770" for dialogs and message boxes); --pid by process id;
// --hwnd 0x... names one window directly; --msgbox admits message boxes only (statics and
// standard buttons), for when a message box has its program's main window title.
// Numbers may be decimal or 0x-hex.
//
// A control is found by its id anywhere inside the window (in child pages too); where several
// share the id, the visible one is taken.
//
// Every command waits, at most --timeout ms (default 10000), until its window is visible (with
// --hidden a hidden window will do: a tray program's main window before it is opened), and
// for control commands until the control exists and is enabled (--nonempty: and its text is not
// empty; --any-state: a disabled or hidden control is acceptable, for reading). A message sent
// to a dialog before WM_INITDIALOG has finished is lost, which is why nothing acts on a window
// that merely exists.
//
// Clicking: --via auto (default) toggles check boxes and radio buttons with BM_CLICK and presses
// every other control with WM_COMMAND/BN_CLICKED to its parent; --via bmclick always uses
// BM_CLICK, --via command always WM_COMMAND. The message is sent: click returns once the program
// has handled the press, or after one second while the handler still runs (it has opened a modal
// dialog or message box), so cvauto never blocks on a modal loop. `key` posts its keystrokes
// (the dialog manager reads them from the queue): wait for their effect before reading.
//
// List views, tab controls and date-time pickers take pointers in their messages; cvauto puts
// those structures into the target process's memory, so it must have the target's bitness
// (the harness runs the cvauto of the same build as the programs).
//
// Command line and output are UTF-8, so titles and texts may be Korean. Exit codes: 0 done,
// 1 condition not met or timed out (a reason on stderr), 2 usage error.

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kDone = 0;
constexpr int kNotMet = 1;
constexpr int kUsage = 2;
constexpr DWORD kPollMs = 50;
constexpr UINT kSendTimeoutMs = 5000;
constexpr UINT kClickSettleMs = 1000;

std::string ToUtf8(const std::wstring& text) {
    if (text.empty()) return {};
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                   nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr,
                        nullptr);
    return out;
}

// Writes UTF-8 bytes to a stream, whether it is a console or a pipe to a test script.
void WriteUtf8(DWORD which, const std::string& bytes) {
    HANDLE out = GetStdHandle(which);
    if (out == nullptr || out == INVALID_HANDLE_VALUE) return;
    DWORD mode = 0;
    if (GetConsoleMode(out, &mode)) {
        int size = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
        std::wstring wide(static_cast<size_t>(size), L'\0');
        MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), size);
        DWORD written = 0;
        WriteConsoleW(out, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
    DWORD written = 0;
    WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

void Print(const std::wstring& line) { WriteUtf8(STD_OUTPUT_HANDLE, ToUtf8(line) + "\n"); }
void Complain(const std::wstring& line) { WriteUtf8(STD_ERROR_HANDLE, "cvauto: " + ToUtf8(line) + "\n"); }

std::wstring Format(const wchar_t* format, ...) {
    wchar_t buffer[1024];
    va_list args;
    va_start(args, format);
    _vsnwprintf(buffer, 1023, format, args);
    va_end(args);
    buffer[1023] = L'\0';
    return buffer;
}

// One line per value: control characters would break the script's line-by-line reading.
std::wstring Escape(const std::wstring& text) {
    std::wstring out;
    for (wchar_t c : text) {
        if (c == L'\n') out += L"\\n";
        else if (c == L'\r') out += L"\\r";
        else if (c == L'\t') out += L"\\t";
        else if (c == L'\\') out += L"\\\\";
        else out += c;
    }
    return out;
}

struct Options {
    std::wstring command;
    std::map<std::wstring, std::wstring> values;
    std::vector<std::wstring> flags;

    bool Has(const wchar_t* name) const { return values.count(name) != 0; }
    bool Flag(const wchar_t* name) const {
        for (const auto& f : flags)
            if (f == name) return true;
        return false;
    }
    std::wstring Text(const wchar_t* name) const {
        auto it = values.find(name);
        return it == values.end() ? std::wstring() : it->second;
    }
};

bool ParseNumber(const std::wstring& text, long long* value) {
    if (text.empty()) return false;
    wchar_t* end = nullptr;
    long long v = wcstoll(text.c_str(), &end, 0);
    if (end == nullptr || *end != L'\0') return false;
    *value = v;
    return true;
}

// Options that take a value; everything else starting with "--" is a flag.
bool TakesValue(const std::wstring& name) {
    static const wchar_t* const kValued[] = {L"title", L"title-part", L"class", L"pid", L"hwnd", L"id",
                                             L"text", L"msg", L"wparam", L"lparam", L"x", L"y",
                                             L"vk", L"timeout", L"via", L"item", L"state",
                                             L"date", L"time", nullptr};
    for (const wchar_t* const* v = kValued; *v; ++v)
        if (name == *v) return true;
    return false;
}

bool IsKnownFlag(const std::wstring& name) {
    return name == L"all" || name == L"nonempty" || name == L"any-state" || name == L"hidden" || name == L"msgbox";
}

bool Parse(int argc, wchar_t** argv, Options* options) {
    if (argc < 2) return false;
    options->command = argv[1];
    for (int i = 2; i < argc; ++i) {
        std::wstring arg = argv[i];
        if (arg.size() < 3 || arg.compare(0, 2, L"--") != 0) {
            Complain(L"unexpected argument: " + arg);
            return false;
        }
        std::wstring name = arg.substr(2);
        if (TakesValue(name)) {
            if (i + 1 >= argc) {
                Complain(L"missing value for --" + name);
                return false;
            }
            options->values[name] = argv[++i];
        } else if (IsKnownFlag(name)) {
            options->flags.push_back(name);
        } else {
            Complain(L"unknown option --" + name);
            return false;
        }
    }
    return true;
}

std::wstring WindowText(HWND hwnd) {
    // WM_GETTEXT with a timeout: a hung target must not hang the test.
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &length))
        return {};
    std::vector<wchar_t> buffer(length + 2, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                             SMTO_ABORTIFHUNG, kSendTimeoutMs, &copied))
        return {};
    return std::wstring(buffer.data(), wcsnlen(buffer.data(), buffer.size()));
}

std::wstring ClassOf(HWND hwnd) {
    wchar_t name[256] = {};
    GetClassNameW(hwnd, name, 255);
    return name;
}

struct WindowFilter {
    std::wstring title;
    bool titleSet = false;
    std::wstring titlePart;
    bool titlePartSet = false;
    std::wstring className;
    bool classSet = false;
    DWORD pid = 0;
    HWND hwnd = nullptr;
    bool messageBoxOnly = false;
};

struct MessageBoxShape {
    bool otherControl = false;
    bool hasText = false;
};

BOOL CALLBACK InspectMessageBoxChild(HWND child, LPARAM param) {
    auto* shape = reinterpret_cast<MessageBoxShape*>(param);
    std::wstring cls = ClassOf(child);
    int id = GetDlgCtrlID(child);
    if (_wcsicmp(cls.c_str(), L"Static") == 0) {
        if (id == 0xFFFF && GetWindowTextLengthW(child) > 0) shape->hasText = true;
    } else if (_wcsicmp(cls.c_str(), L"Button") != 0 || id < IDOK || id > IDCONTINUE) {
        shape->otherControl = true;
    }
    return TRUE;
}

// A message box has only statics (its text has id 0xFFFF) and buttons with the standard ids
// IDOK..IDCONTINUE. Its caption is often the main window's title, so the title alone cannot
// tell the two apart; a dialog with a label of id 0xFFFF (IDC_STATIC) also has other controls.
bool IsMessageBox(HWND hwnd) {
    MessageBoxShape shape;
    EnumChildWindows(hwnd, InspectMessageBoxChild, reinterpret_cast<LPARAM>(&shape));
    return shape.hasText && !shape.otherControl;
}

bool Matches(HWND hwnd, const WindowFilter& filter) {
    if (filter.hwnd) return hwnd == filter.hwnd;
    if (filter.messageBoxOnly && !IsMessageBox(hwnd)) return false;
    if (filter.pid) {
        DWORD pid = 0;
        GetWindowThreadProcessId(hwnd, &pid);
        if (pid != filter.pid) return false;
    }
    if (filter.classSet && ClassOf(hwnd) != filter.className) return false;
    if (filter.titleSet || filter.titlePartSet) {
        // GetWindowTextW reads the stored title without sending a message to the owner thread.
        wchar_t title[512] = {};
        GetWindowTextW(hwnd, title, 511);
        if (filter.titleSet && filter.title != title) return false;
        if (filter.titlePartSet && std::wstring(title).find(filter.titlePart) == std::wstring::npos) return false;
    }
    return true;
}

struct EnumState {
    const WindowFilter* filter;
    bool visibleOnly;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND hwnd, LPARAM param) {
    auto* state = reinterpret_cast<EnumState*>(param);
    if (state->visibleOnly && !IsWindowVisible(hwnd)) return TRUE;
    if (Matches(hwnd, *state->filter)) state->found.push_back(hwnd);
    return TRUE;
}

std::vector<HWND> FindTopLevel(const WindowFilter& filter, bool visibleOnly) {
    EnumState state{&filter, visibleOnly, {}};
    if (filter.hwnd) {
        if (IsWindow(filter.hwnd) && (!visibleOnly || IsWindowVisible(filter.hwnd))) state.found.push_back(filter.hwnd);
        return state.found;
    }
    EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&state));
    return state.found;
}

class Deadline {
public:
    explicit Deadline(DWORD ms) : start_(GetTickCount()), ms_(ms) {}
    bool Passed() const { return GetTickCount() - start_ >= ms_; }
    DWORD Elapsed() const { return GetTickCount() - start_; }

private:
    DWORD start_;
    DWORD ms_;
};

struct Context {
    Options options;
    WindowFilter filter;
    DWORD timeoutMs = 10000;
};

std::wstring Describe(const WindowFilter& filter) {
    std::wstring text;
    if (filter.hwnd) text += Format(L"hwnd=%p ", static_cast<void*>(filter.hwnd));
    if (filter.titleSet) text += L"title=\"" + filter.title + L"\" ";
    if (filter.titlePartSet) text += L"title-part=\"" + filter.titlePart + L"\" ";
    if (filter.classSet) text += L"class=\"" + filter.className + L"\" ";
    if (filter.pid) text += Format(L"pid=%lu ", filter.pid);
    return text.empty() ? L"any window" : text;
}

std::wstring Hwnd(HWND hwnd) { return Format(L"0x%08llx", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(hwnd))); }

// Waits for exactly the windows a command acts on: visible (unless --hidden) and matching. With
// several matches the first in Z-order is taken (the one a person would see on top).
HWND WaitForWindow(const Context& ctx) {
    Deadline deadline(ctx.timeoutMs);
    for (;;) {
        auto found = FindTopLevel(ctx.filter, !ctx.options.Flag(L"hidden"));
        if (!found.empty()) return found.front();
        if (deadline.Passed()) break;
        Sleep(kPollMs);
    }
    Complain(L"no visible window (" + Describe(ctx.filter) + Format(L") within %lu ms", ctx.timeoutMs));
    return nullptr;
}

bool ControlReady(HWND control, const Context& ctx) {
    if (ctx.options.Flag(L"any-state")) return true;
    // In a hidden window no control counts as visible, so there only the control's own style counts.
    bool visible = ctx.options.Flag(L"hidden") ? (GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) != 0
                                               : IsWindowVisible(control) != FALSE;
    if (!visible || !IsWindowEnabled(control)) return false;
    if (ctx.options.Flag(L"nonempty") && WindowText(control).empty()) return false;
    return true;
}

struct ControlSearch {
    int id;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectById(HWND child, LPARAM param) {
    auto* search = reinterpret_cast<ControlSearch*>(param);
    if (GetDlgCtrlID(child) == search->id) search->found.push_back(child);
    return TRUE;
}

// Control `id` anywhere inside the window: pages are child dialogs, and several pages may use
// the same id, so the one a person can see wins, then any visible one, then the first found.
HWND FindControl(HWND window, int id, const Context& ctx) {
    HWND direct = GetDlgItem(window, id);  // the window's own control comes before its pages'
    if (direct && ControlReady(direct, ctx)) return direct;
    ControlSearch search{id, {}};
    EnumChildWindows(window, CollectById, reinterpret_cast<LPARAM>(&search));
    if (search.found.empty()) return nullptr;
    for (HWND control : search.found)
        if (ControlReady(control, ctx)) return control;
    for (HWND control : search.found)
        if (IsWindowVisible(control)) return control;
    return search.found.front();
}

// Finds control `id` in the window and waits until it can be acted on.
HWND WaitForControl(const Context& ctx, HWND* topLevel) {
    long long id = 0;
    if (!ParseNumber(ctx.options.Text(L"id"), &id)) {
        Complain(L"--id N is needed");
        return nullptr;
    }
    Deadline deadline(ctx.timeoutMs);
    HWND lastSeen = nullptr;
    for (;;) {
        for (HWND window : FindTopLevel(ctx.filter, !ctx.options.Flag(L"hidden"))) {
            HWND control = FindControl(window, static_cast<int>(id), ctx);
            if (!control) continue;
            lastSeen = control;
            if (ControlReady(control, ctx)) {
                if (topLevel) *topLevel = window;
                return control;
            }
        }
        if (deadline.Passed()) break;
        Sleep(kPollMs);
    }
    if (lastSeen)
        Complain(Format(L"control %lld found but not ready (visible=%d enabled=%d text=\"%ls\") within %lu ms", id,
                        IsWindowVisible(lastSeen) ? 1 : 0, IsWindowEnabled(lastSeen) ? 1 : 0,
                        Escape(WindowText(lastSeen)).c_str(), ctx.timeoutMs));
    else
        Complain(Format(L"no control %lld in a visible window (", id) + Describe(ctx.filter) +
                 Format(L") within %lu ms", ctx.timeoutMs));
    return nullptr;
}

std::wstring RectText(const RECT& r) { return Format(L"%ld %ld %ld %ld", r.left, r.top, r.right, r.bottom); }

bool NeedWindowFilter(const Context& ctx) {
    const WindowFilter& f = ctx.filter;
    if (f.titleSet || f.titlePartSet || f.hwnd || f.classSet || f.pid || f.messageBoxOnly) return true;
    Complain(L"--title, --title-part, --class, --pid, --hwnd or --msgbox is needed");
    return false;
}

int CmdWait(const Context& ctx) {
    if (!NeedWindowFilter(ctx)) return kUsage;
    HWND hwnd = WaitForWindow(ctx);
    if (!hwnd) return kNotMet;
    Print(Hwnd(hwnd));
    return kDone;
}

int CmdWaitGone(const Context& ctx) {
    if (!NeedWindowFilter(ctx)) return kUsage;
    Deadline deadline(ctx.timeoutMs);
    for (;;) {
        if (FindTopLevel(ctx.filter, false).empty()) return kDone;
        if (deadline.Passed()) break;
        Sleep(kPollMs);
    }
    Complain(L"window still there (" + Describe(ctx.filter) + Format(L") after %lu ms", ctx.timeoutMs));
    return kNotMet;
}

int CmdExists(const Context& ctx) {
    if (!NeedWindowFilter(ctx)) return kUsage;
    auto found = FindTopLevel(ctx.filter, !ctx.options.Flag(L"hidden"));
    if (found.empty()) return kNotMet;
    Print(Hwnd(found.front()));
    return kDone;
}

int CmdList(const Context& ctx) {
    WindowFilter filter = ctx.filter;
    auto windows = FindTopLevel(filter, !ctx.options.Flag(L"all"));
    for (HWND hwnd : windows) {
        DWORD pid = 0;
        GetWindowThreadProcessId(hwnd, &pid);
        RECT r{};
        GetWindowRect(hwnd, &r);
        wchar_t title[512] = {};
        GetWindowTextW(hwnd, title, 511);
        Print(Hwnd(hwnd) + Format(L"\t%lu\t", pid) + ClassOf(hwnd) + Format(L"\t%d\t", IsWindowVisible(hwnd) ? 1 : 0) +
              RectText(r) + L"\t" + Escape(title));
    }
    return kDone;
}

struct ChildList {
    HWND parent;
    std::vector<HWND> children;
};

BOOL CALLBACK CollectChild(HWND hwnd, LPARAM param) {
    reinterpret_cast<ChildList*>(param)->children.push_back(hwnd);
    return TRUE;
}

int CmdChildren(const Context& ctx) {
    if (!NeedWindowFilter(ctx)) return kUsage;
    HWND window = WaitForWindow(ctx);
    if (!window) return kNotMet;
    ChildList list{window, {}};
    EnumChildWindows(window, CollectChild, reinterpret_cast<LPARAM>(&list));
    for (HWND child : list.children) {
        RECT r{};
        GetWindowRect(child, &r);
        MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&r), 2);
        HWND parent = GetParent(child);
        int parentId = parent == window ? 0 : GetDlgCtrlID(parent);
        Print(Format(L"%d\t", GetDlgCtrlID(child)) + ClassOf(child) +
              Format(L"\t%d\t%d\t", IsWindowEnabled(child) ? 1 : 0, IsWindowVisible(child) ? 1 : 0) + RectText(r) +
              L"\t" + Escape(WindowText(child)) + Format(L"\t%d", parentId));
    }
    return kDone;
}

bool IsToggleButton(HWND control) {
    if (_wcsicmp(ClassOf(control).c_str(), L"Button") != 0) return false;
    switch (GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
        return true;
    default:
        return false;
    }
}

int CmdClick(const Context& ctx) {
    if (!NeedWindowFilter(ctx)) return kUsage;
    std::wstring via = ctx.options.Has(L"via") ? ctx.options.Text(L"via") : L"auto";
    if (via != L"auto" && via != L"bmclick" && via != L"command") {
        Complain(L"--via is auto, bmclick or command");
        return kUsage;
    }
    HWND control = WaitForControl(ctx, nullptr);
    if (!control) return kNotMet;
    bool useBmClick = via == L"bmclick" || (via == L"auto" && IsToggleButton(control));
    HWND target = useBmClick ? control : GetParent(control);
    UINT message = useBmClick ? BM_CLICK : WM_COMMAND;
    WPARAM wparam = useBmClick ? 0 : MAKEWPARAM(GetDlgCtrlID(control), BN_CLICKED);
    LPARAM lparam = useBmClick ? 0 : reinterpret_cast<LPARAM>(control);
    // Sent, so that whatever the test reads next already shows the press; a handler still busy
    // after kClickSettleMs has most likely opened a modal dialog or message box, and the press
    // then counts as done while the program goes on handling it.
    // A press that ends the program (the window is gone before the reply) was delivered too.
    DWORD_PTR ignored = 0;
    SetLastError(0);
    if (!SendMessageTimeoutW(target, message, wparam, lparam, SMTO_NORMAL, kClickSettleMs, &ignored) &&
        GetLastError() != ERROR_TIMEOUT && IsWindow(target)) {
        Complain(Format(L"the click was not delivered: error %lu", GetLastError()));
        return kNotMet;
    }
    return kDone;
}

int CmdGetText(const Context& ctx) {
    if (!NeedWindowFilter(ctx)) return kUsage;
    HWND control = WaitForControl(ctx, nullptr);
    if (!control) return kNotMet;
    Print(Escape(WindowText(control)));
    return kDone;
}

int CmdSetText(const Context& ctx) {
    if (!NeedWindowFilter(ctx)) return kUsage;
    if (!ctx.options.Has(L"text")) {
        Complain(L"--text S is needed");
        return kUsage;
    }
    HWND control = WaitForControl(ctx, nullptr);
    if (!control) return kNotMet;
    std::wstring text = ctx.options.Text(L"text");
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG,
                             kSendTimeoutMs, &result) ||
        !result) {
        Complain(Format(L"WM_SETTEXT failed: error %lu", GetLastError()));
        return kNotMet;
    }
    return kDone;
}

int CmdGetCheck(const Context& ctx) {
    if (!NeedWindowFilter(ctx)) return kUsage;
    Context reading = ctx;
    reading.options.flags.push_back(L"any-state");  // a disabled check box still has a state to read
    HWND control = WaitForControl(reading, nullptr);
    if (!control) return kNotMet;
    DWORD_PTR state = 0;
    if (!SendMessageTimeoutW(control, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &state)) {
        Complain(Format(L"BM_GETCHECK failed: error %lu", GetLastError()));
        return kNotMet;
    }
    Print(Format(L"%lu", static_cast<unsigned long>(state)));
    return kDone;
}

// The target of send/post/key/click-at: control --id when given, else the window itself.
HWND MessageTarget(const Context& ctx, bool* ok) {
    *ok = true;
    if (ctx.options.Has(L"id")) {
        HWND control = WaitForControl(ctx, nullptr);
        *ok = control != nullptr;
        return control;
    }
    HWND window = WaitForWindow(ctx);
    *ok = window != nullptr;
    return window;
}

bool ReadNumberOption(const Context& ctx, const wchar_t* name, bool required, long long* value) {
    *value = 0;
    if (!ctx.options.Has(name)) {
        if (required) Complain(std::wstring(L"--") + name + L" N is needed");
        return !required;
    }
    if (!ParseNumber(ctx.options.Text(name), value)) {
        Complain(std::wstring(L"--") + name + L" is not a number: " + ctx.options.Text(name));
        return false;
    }
    return true;
}

int CmdSendOrPost(const Context& ctx, bool send) {
    if (!NeedWindowFilter(ctx)) return kUsage;
    long long msg = 0, wparam = 0, lparam = 0;
    if (!ReadNumberOption(ctx, L"msg", true, &msg) || !ReadNumberOption(ctx, L"wparam", false, &wparam) ||
        !ReadNumberOption(ctx, L"lparam", false, &lparam))
        return kUsage;
    bool ok = false;
    HWND target = MessageTarget(ctx, &ok);
    if (!ok) return kNotMet;
    if (send) {
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutW(target, static_cast<UINT>(msg), static_cast<WPARAM>(wparam),
                                 static_cast<LPARAM>(lparam), SMTO_ABORTIFHUNG, ctx.timeoutMs, &result)) {
            Complain(Format(L"SendMessage timed out or failed: error %lu", GetLastError()));
            return kNotMet;
        }
        Print(Format(L"%lld", static_cast<long long>(static_cast<LONG_PTR>(result))));
        return kDone;
    }
    if (!PostMessageW(target, static_cast<UINT>(msg), static_cast<WPARAM>(wparam), static_cast<LPARAM>(lparam))) {
        Complain(Format(L"PostMessage failed: error %lu", GetLastError()));
        return kNotMet;
    }
    return kDone;
}

int CmdClickAt(const Context& ctx) {
    if (!NeedWindowFilter(ctx)) return kUsage;
    long long x = 0, y = 0;
    if (!ReadNumberOption(ctx, L"x", true, &x) || !ReadNumberOption(ctx, L"y", true, &y)) return kUsage;
    bool ok = false;
    HWND target = MessageTarget(ctx, &ok);
    if (!ok) return kNotMet;
    LPARAM at = MAKELPARAM(static_cast<int>(x), static_cast<int>(y));
    // Sent, so that the down is handled before the up; a tab strip changes page on the down.
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutW(target, WM_LBUTTONDOWN, MK_LBUTTON, at, SMTO_ABORTIFHUNG, kSendTimeoutMs, &ignored)) {
        Complain(Format(L"WM_LBUTTONDOWN failed: error %lu", GetLastError()));
        return kNotMet;
    }
    PostMessageW(target, WM_LBUTTONUP, 0, at);
    return kDone;
}

int CmdKey(const Context& ctx) {
    if (!NeedWindowFilter(ctx)) return kUsage;
    long long vk = 0;
    if (!ReadNumberOption(ctx, L"vk", true, &vk)) return kUsage;
    bool ok = false;
    HWND target = MessageTarget(ctx, &ok);
    if (!ok) return kNotMet;
    if (!ctx.options.Has(L"id")) {
        // The focused control of another thread is only known through its GUI thread info.
        GUITHREADINFO info{};
        info.cbSize = sizeof(info);
        DWORD thread = GetWindowThreadProcessId(target, nullptr);
        if (GetGUIThreadInfo(thread, &info) && info.hwndFocus) target = info.hwndFocus;
    }
    UINT scan = MapVirtualKeyW(static_cast<UINT>(vk), MAPVK_VK_TO_VSC);
    LPARAM down = 1 | (static_cast<LPARAM>(scan) << 16);
    LPARAM up = down | (1L << 30) | (1L << 31);
    if (!PostMessageW(target, WM_KEYDOWN, static_cast<WPARAM>(vk), down) ||
        !PostMessageW(target, WM_KEYUP, static_cast<WPARAM>(vk), up)) {
        Complain(Format(L"posting the key failed: error %lu", GetLastError()));
        return kNotMet;
    }
    return kDone;
}

int CmdMsgboxText(const Context& ctx) {
    if (!NeedWindowFilter(ctx)) return kUsage;
    HWND box = WaitForWindow(ctx);  // the filter admits message boxes only
    if (!box) return kNotMet;
    Print(Escape(WindowText(GetDlgItem(box, 0xFFFF))));
    return kDone;
}

int CmdRect(const Context& ctx) {
    if (!NeedWindowFilter(ctx)) return kUsage;
    HWND window = WaitForWindow(ctx);
    if (!window) return kNotMet;
    RECT r{};
    GetWindowRect(window, &r);
    Print(RectText(r));
    return kDone;
}

// A block of memory in another process, for the control messages that carry pointers.
class RemoteBuffer {
public:
    RemoteBuffer(HWND window, size_t size) : size_(size) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (process_)
            address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    }
    ~RemoteBuffer() {
        if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        if (process_) CloseHandle(process_);
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    bool Valid() const { return address_ != nullptr; }
    void* Address() const { return address_; }
    void* At(size_t offset) const { return static_cast<char*>(address_) + offset; }
    bool Write(size_t offset, const void* data, size_t size) {
        SIZE_T done = 0;
        return offset + size <= size_ && WriteProcessMemory(process_, At(offset), data, size, &done) && done == size;
    }
    bool Read(size_t offset, void* data, size_t size) const {
        SIZE_T done = 0;
        return offset + size <= size_ && ReadProcessMemory(process_, At(offset), data, size, &done) && done == size;
    }

private:
    HANDLE process_ = nullptr;
    void* address_ = nullptr;
    size_t size_;
};

bool SendWithTimeout(HWND target, UINT msg, WPARAM wparam, LPARAM lparam, DWORD_PTR* result) {
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutW(target, msg, wparam, lparam, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                               result ? result : &ignored) != 0;
}

bool ReadItemOption(const Context& ctx, long long* item);

constexpr size_t kRemoteText = 1024;  // characters of one list-view cell

std::wstring ListViewCell(HWND list, RemoteBuffer& remote, int item, int column) {
    LVITEMW lv{};
    lv.iSubItem = column;
    lv.cchTextMax = kRemoteText;
    lv.pszText = static_cast<LPWSTR>(remote.At(sizeof(LVITEMW)));
    std::vector<wchar_t> text(kRemoteText, L'\0');
    if (!remote.Write(sizeof(LVITEMW), text.data(), text.size() * sizeof(wchar_t)) || !remote.Write(0, &lv, sizeof(lv)))
        return {};
    if (!SendWithTimeout(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(remote.Address()),
                         nullptr))
        return {};
    if (!remote.Read(sizeof(LVITEMW), text.data(), text.size() * sizeof(wchar_t))) return {};
    text.back() = L'\0';
    return text.data();
}

int CmdListViewItems(const Context& ctx) {
    if (!NeedWindowFilter(ctx)) return kUsage;
    Context reading = ctx;
    reading.options.flags.push_back(L"any-state");
    HWND list = WaitForControl(reading, nullptr);
    if (!list) return kNotMet;
    DWORD_PTR count = 0, columns = 0;
    SendWithTimeout(list, LVM_GETITEMCOUNT, 0, 0, &count);
    DWORD_PTR header = 0;
    SendWithTimeout(list, LVM_GETHEADER, 0, 0, &header);
    if (header) SendWithTimeout(reinterpret_cast<HWND>(header), HDM_GETITEMCOUNT, 0, 0, &columns);
    if (columns == 0 || columns > 64) columns = 1;
    RemoteBuffer remote(list, sizeof(LVITEMW) + kRemoteText * sizeof(wchar_t));
    if (!remote.Valid()) {
        Complain(Format(L"cannot reach the list's process: error %lu", GetLastError()));
        return kNotMet;
    }
    for (int item = 0; item < static_cast<int>(count); ++item) {
        DWORD_PTR state = 0;
        SendWithTimeout(list, LVM_GETITEMSTATE, item, LVIS_STATEIMAGEMASK | LVIS_SELECTED, &state);
        // State image 1 is the clear box, 2 the ticked one; 0 means the list has no check boxes.
        unsigned image = static_cast<unsigned>((state & LVIS_STATEIMAGEMASK) >> 12);
        std::wstring line = Format(L"%d\t%ls\t%d", item, image == 0 ? L"-" : image == 2 ? L"1" : L"0",
                                   (state & LVIS_SELECTED) ? 1 : 0);
        for (int column = 0; column < static_cast<int>(columns); ++column)
            line += L"\t" + Escape(ListViewCell(list, remote, item, column));
        Print(line);
    }
    return kDone;
}

// Sets state bits of one row through LVM_SETITEMSTATE, which notifies the parent (LVN_ITEMCHANGED)
// just as a person's click would.
int SetListViewState(const Context& ctx, UINT state, UINT mask) {
    long long item = 0;
    if (!ReadItemOption(ctx, &item)) return kUsage;
    HWND list = WaitForControl(ctx, nullptr);
    if (!list) return kNotMet;
    DWORD_PTR count = 0;
    SendWithTimeout(list, LVM_GETITEMCOUNT, 0, 0, &count);
    if (item < 0 || item >= static_cast<long long>(count)) {
        Complain(Format(L"row %lld does not exist (the list has %lu)", item, static_cast<unsigned long>(count)));
        return kNotMet;
    }
    RemoteBuffer remote(list, sizeof(LVITEMW));
    LVITEMW lv{};
    lv.stateMask = mask;
    lv.state = state;
    DWORD_PTR ok = 0;
    if (!remote.Valid() || !remote.Write(0, &lv, sizeof(lv)) ||
        !SendWithTimeout(list, LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(remote.Address()),
                         &ok) ||
        !ok) {
        Complain(Format(L"LVM_SETITEMSTATE failed: error %lu", GetLastError()));
        return kNotMet;
    }
    return kDone;
}

int CmdListViewCheck(const Context& ctx) {
    if (!NeedWindowFilter(ctx)) return kUsage;
    long long wanted = 1;
    if (ctx.options.Has(L"state") && (!ParseNumber(ctx.options.Text(L"state"), &wanted) || wanted < 0 || wanted > 1)) {
        Complain(L"--state is 0 or 1");
        return kUsage;
    }
    return SetListViewState(ctx, INDEXTOSTATEIMAGEMASK(wanted ? 2 : 1), LVIS_STATEIMAGEMASK);
}

int CmdListViewSelect(const Context& ctx) {
    if (!NeedWindowFilter(ctx)) return kUsage;
    return SetListViewState(ctx, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

int CmdTabSelect(const Context& ctx) {
    if (!NeedWindowFilter(ctx)) return kUsage;
    long long item = 0;
    if (!ReadItemOption(ctx, &item)) return kUsage;
    HWND tabs = WaitForControl(ctx, nullptr);
    if (!tabs) return kNotMet;
    RemoteBuffer remote(tabs, sizeof(RECT));
    RECT r{};
    DWORD_PTR ok = 0;
    if (!remote.Valid() ||
        !SendWithTimeout(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(remote.Address()),
                         &ok) ||
        !ok || !remote.Read(0, &r, sizeof(r))) {
        Complain(Format(L"tab %lld has no rectangle (no such tab?)", item));
        return kNotMet;
    }
    // A click in the middle of the tab: the control changes page on the button-down and tells
    // its parent (TCN_SELCHANGING / TCN_SELCHANGE) as it does for a person.
    LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    if (!SendWithTimeout(tabs, WM_LBUTTONDOWN, MK_LBUTTON, at, nullptr)) {
        Complain(Format(L"WM_LBUTTONDOWN failed: error %lu", GetLastError()));
        return kNotMet;
    }
    PostMessageW(tabs, WM_LBUTTONUP, 0, at);
    return kDone;
}

int CmdDateTimeGet(const Context& ctx) {
    if (!NeedWindowFilter(ctx)) return kUsage;
    Context reading = ctx;
    reading.options.flags.push_back(L"any-state");
    HWND picker = WaitForControl(reading, nullptr);
    if (!picker) return kNotMet;
    RemoteBuffer remote(picker, sizeof(SYSTEMTIME));
    SYSTEMTIME st{};
    DWORD_PTR result = GDT_ERROR;
    if (!remote.Valid() ||
        !SendWithTimeout(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(remote.Address()), &result) ||
        result != GDT_VALID || !remote.Read(0, &st, sizeof(st))) {
        Complain(L"the picker holds no valid time");
        return kNotMet;
    }
    Print(Format(L"%04u-%02u-%02u %02u:%02u:%02u", st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond));
    return kDone;
}

int CmdDateTimeSet(const Context& ctx) {
    if (!NeedWindowFilter(ctx)) return kUsage;
    if (!ctx.options.Has(L"date") && !ctx.options.Has(L"time")) {
        Complain(L"--date YYYY-MM-DD and/or --time HH:MM[:SS] is needed");
        return kUsage;
    }
    unsigned year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (ctx.options.Has(L"date") &&
        (swscanf(ctx.options.Text(L"date").c_str(), L"%u-%u-%u", &year, &month, &day) != 3 || month < 1 ||
         month > 12 || day < 1 || day > 31)) {
        Complain(L"--date is YYYY-MM-DD");
        return kUsage;
    }
    if (ctx.options.Has(L"time")) {
        int fields = swscanf(ctx.options.Text(L"time").c_str(), L"%u:%u:%u", &hour, &minute, &second);
        if (fields < 2 || hour > 23 || minute > 59 || second > 59) {
            Complain(L"--time is HH:MM or HH:MM:SS");
            return kUsage;
        }
    }
    HWND picker = WaitForControl(ctx, nullptr);
    if (!picker) return kNotMet;
    RemoteBuffer remote(picker, sizeof(SYSTEMTIME));
    SYSTEMTIME st{};
    DWORD_PTR result = GDT_ERROR;
    // Start from what the picker holds, so that setting only the time keeps its date and back.
    if (!remote.Valid() ||
        !SendWithTimeout(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(remote.Address()), &result) ||
        !remote.Read(0, &st, sizeof(st)) || result != GDT_VALID)
        GetLocalTime(&st);
    if (ctx.options.Has(L"date")) {
        st.wYear = static_cast<WORD>(year);
        st.wMonth = static_cast<WORD>(month);
        st.wDay = static_cast<WORD>(day);
    }
    if (ctx.options.Has(L"time")) {
        st.wHour = static_cast<WORD>(hour);
        st.wMinute = static_cast<WORD>(minute);
        st.wSecond = static_cast<WORD>(second);
    }
    st.wMilliseconds = 0;
    DWORD_PTR ok = 0;
    if (!remote.Write(0, &st, sizeof(st)) ||
        !SendWithTimeout(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(remote.Address()), &ok) ||
        !ok) {
        Complain(L"DTM_SETSYSTEMTIME refused the date or time");
        return kNotMet;
    }
    return kDone;
}

bool ReadItemOption(const Context& ctx, long long* item) {
    if (!ctx.options.Has(L"item") || !ParseNumber(ctx.options.Text(L"item"), item)) {
        Complain(L"--item I (a number) is needed");
        return false;
    }
    return true;
}

// The version as the system reports it, untouched by the caller's manifest (RtlGetVersion).
int CmdSysinfo(const Context&) {
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof(version);
    auto rtlGetVersion =
        reinterpret_cast<RtlGetVersionFn>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
    if (!rtlGetVersion || rtlGetVersion(&version) != 0) {
        Complain(L"RtlGetVersion is not available");
        return kNotMet;
    }
    BOOL wow64 = FALSE;
    IsWow64Process(GetCurrentProcess(), &wow64);
    wchar_t locale[LOCALE_NAME_MAX_LENGTH] = {};
    GetUserDefaultLocaleName(locale, LOCALE_NAME_MAX_LENGTH);
    Print(Format(L"version=%lu.%lu.%lu wow64=%d acp=%u locale=%ls", version.dwMajorVersion, version.dwMinorVersion,
                 version.dwBuildNumber, wow64 ? 1 : 0, GetACP(), locale));
    return kDone;
}

void Usage() {
    static const wchar_t kHelp[] =
        L"usage: cvauto <command> [options]\n"
        L"  wait        --title T [--class C]           print hwnd of a visible matching top-level window\n"
        L"  wait-gone   --title T [--class C]           until no such window exists\n"
        L"  exists      --title T [--class C]           exit 0 if a visible match exists now, else 1\n"
        L"  list        [--pid P] [--all]               hwnd pid class visible rect title (tab-separated)\n"
        L"  children    --title T                       id class enabled visible rect text parent-id (tab-separated)\n"
        L"  click       --title T --id N [--via auto|bmclick|command]\n"
        L"  get-text    --title T --id N                WM_GETTEXT\n"
        L"  set-text    --title T --id N --text S       WM_SETTEXT\n"
        L"  get-check   --title T --id N                0, 1 or 2\n"
        L"  send        --title T --msg N [--id N] [--wparam W] [--lparam L]   prints the result\n"
        L"  post        --title T --msg N [--id N] [--wparam W] [--lparam L]\n"
        L"  click-at    --title T --x X --y Y [--id N]  left button down/up at client coordinates\n"
        L"  key         --title T --vk N [--id N]       key down/up to control N or the focused control\n"
        L"  msgbox-text --title T                       text of a message box\n"
        L"  rect        --title T                       left top right bottom\n"
        L"  lv-items    --title T --id N                index checked selected texts (tab-separated)\n"
        L"  lv-check    --title T --id N --item I [--state 0|1]\n"
        L"  lv-select   --title T --id N --item I\n"
        L"  tab-select  --title T --id N --item I       clicks tab I\n"
        L"  dtp-get     --title T --id N                YYYY-MM-DD HH:MM:SS\n"
        L"  dtp-set     --title T --id N [--date YYYY-MM-DD] [--time HH:MM[:SS]]\n"
        L"  sysinfo                                     version=M.m.b wow64=0|1 acp=N locale=xx-YY\n"
        L"window: --title exact | --title-part part | --class C | --pid P | --hwnd 0x... | --msgbox\n"
        L"waits: --timeout ms (default 10000), --nonempty (control text), --any-state (disabled/hidden ok),\n"
        L"       --hidden (hidden top-level windows match too)\n"
        L"exit: 0 done, 1 not met or timed out, 2 usage\n";
    WriteUtf8(STD_OUTPUT_HANDLE, ToUtf8(kHelp));
}

bool BuildContext(const Options& options, Context* ctx) {
    ctx->options = options;
    WindowFilter& f = ctx->filter;
    if (options.Has(L"title")) { f.title = options.Text(L"title"); f.titleSet = true; }
    if (options.Has(L"title-part")) { f.titlePart = options.Text(L"title-part"); f.titlePartSet = true; }
    if (options.Has(L"class")) { f.className = options.Text(L"class"); f.classSet = true; }
    f.messageBoxOnly = options.Flag(L"msgbox") || options.command == L"msgbox-text";
    long long number = 0;
    if (options.Has(L"pid")) {
        if (!ParseNumber(options.Text(L"pid"), &number)) { Complain(L"--pid is not a number"); return false; }
        f.pid = static_cast<DWORD>(number);
    }
    if (options.Has(L"hwnd")) {
        if (!ParseNumber(options.Text(L"hwnd"), &number)) { Complain(L"--hwnd is not a number"); return false; }
        f.hwnd = reinterpret_cast<HWND>(static_cast<UINT_PTR>(number));
    }
    if (options.Has(L"timeout")) {
        if (!ParseNumber(options.Text(L"timeout"), &number) || number < 0) {
            Complain(L"--timeout is not a number of milliseconds");
            return false;
        }
        ctx->timeoutMs = static_cast<DWORD>(number);
    }
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    Options options;
    if (!Parse(argc, argv, &options)) {
        Usage();
        return kUsage;
    }
    if (options.command == L"help" || options.command == L"--help") {
        Usage();
        return kDone;
    }
    Context ctx;
    if (!BuildContext(options, &ctx)) return kUsage;

    struct Command {
        const wchar_t* name;
        int (*run)(const Context&);
    };
    static const Command kCommands[] = {
        {L"wait", CmdWait},
        {L"wait-gone", CmdWaitGone},
        {L"exists", CmdExists},
        {L"list", CmdList},
        {L"children", CmdChildren},
        {L"click", CmdClick},
        {L"get-text", CmdGetText},
        {L"set-text", CmdSetText},
        {L"get-check", CmdGetCheck},
        {L"send", [](const Context& c) { return CmdSendOrPost(c, true); }},
        {L"post", [](const Context& c) { return CmdSendOrPost(c, false); }},
        {L"click-at", CmdClickAt},
        {L"key", CmdKey},
        {L"msgbox-text", CmdMsgboxText},
        {L"rect", CmdRect},
        {L"lv-items", CmdListViewItems},
        {L"lv-check", CmdListViewCheck},
        {L"lv-select", CmdListViewSelect},
        {L"tab-select", CmdTabSelect},
        {L"dtp-get", CmdDateTimeGet},
        {L"dtp-set", CmdDateTimeSet},
        {L"sysinfo", CmdSysinfo},
        {nullptr, nullptr},
    };
    for (const Command* c = kCommands; c->name; ++c)
        if (options.command == c->name) return c->run(ctx);
    Complain(L"unknown command: " + options.command);
    Usage();
    return kUsage;
}
