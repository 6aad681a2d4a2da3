#include "platform/dialog/Dialog.h"

#include <commctrl.h>  // NMHDR

#include <vector>

namespace platform::dialog {

std::wstring CWindow::ItemText(int id) const {
    HWND item = Item(id);
    int length = item ? ::GetWindowTextLengthW(item) : 0;
    if (length <= 0) return {};
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
    int got = ::GetWindowTextW(item, buffer.data(), length + 1);
    return std::wstring(buffer.data(), got > 0 ? static_cast<size_t>(got) : 0);
}

std::wstring CWindow::Text() const {
    int length = ::GetWindowTextLengthW(m_hWnd);
    if (length <= 0) return {};
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
    int got = ::GetWindowTextW(m_hWnd, buffer.data(), length + 1);
    return std::wstring(buffer.data(), got > 0 ? static_cast<size_t>(got) : 0);
}

void CWindow::CenterOnScreen() const {
    RECT rc{};
    ::GetWindowRect(m_hWnd, &rc);
    int width = rc.right - rc.left;
    int height = rc.bottom - rc.top;
    int x = (::GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    int y = (::GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::wstring LoadStringResource(UINT id, HINSTANCE module) {
    const wchar_t* text = nullptr;
    // With a zero buffer size LoadStringW hands out a pointer into the resource itself.
    int length = ::LoadStringW(module ? module : ::GetModuleHandleW(nullptr), id,
                               reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || text == nullptr) return {};
    return std::wstring(text, static_cast<size_t>(length));
}

namespace {
const wchar_t kControlProperty[] = L"CorvaneControl";
// The procedure we replaced; stays with the window as long as our procedure is in its chain.
const wchar_t kPreviousProcProperty[] = L"CorvaneControlProc";

// The control a parent message is about, for reflection.
HWND ReflectionTarget(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DRAWITEM:
        return lParam ? reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->hwndItem : nullptr;
    case WM_NOTIFY:
        return lParam ? reinterpret_cast<const NMHDR*>(lParam)->hwndFrom : nullptr;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<HWND>(lParam);
    default:
        return nullptr;
    }
}
}  // namespace

CControl::~CControl() { Detach(); }

bool CControl::Attach(HWND parent, int id) { return Attach(::GetDlgItem(parent, id)); }

bool CControl::Attach(HWND control) {
    Detach();
    if (control == nullptr || FromHandle(control) != nullptr) return false;
    if (!::SetPropW(control, kControlProperty, reinterpret_cast<HANDLE>(this))) return false;
    m_hWnd = control;
    m_previousProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CControl::SubclassProc)));
    ::SetPropW(control, kPreviousProcProperty, reinterpret_cast<HANDLE>(m_previousProc));
    return true;
}

void CControl::Detach() {
    if (m_hWnd == nullptr) return;
    if (::IsWindow(m_hWnd)) {
        // Only undo our own subclassing; someone who subclassed after us keeps the chain.
        if (reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(m_hWnd, GWLP_WNDPROC)) == &CControl::SubclassProc) {
            ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_previousProc));
            ::RemovePropW(m_hWnd, kPreviousProcProperty);
        }
        ::RemovePropW(m_hWnd, kControlProperty);
    }
    m_hWnd = nullptr;
}

CControl* CControl::FromHandle(HWND control) {
    return control ? reinterpret_cast<CControl*>(::GetPropW(control, kControlProperty)) : nullptr;
}

LRESULT CControl::CallDefault(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::CallWindowProcW(m_previousProc, m_hWnd, message, wParam, lParam);
}

LRESULT CALLBACK CControl::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CControl* self = FromHandle(hwnd);
    if (self == nullptr || self->m_hWnd != hwnd) {
        // Detached while a later subclass kept us in the chain: pass everything on.
        auto previous = reinterpret_cast<WNDPROC>(::GetPropW(hwnd, kPreviousProcProperty));
        if (message == WM_NCDESTROY) ::RemovePropW(hwnd, kPreviousProcProperty);
        return previous ? ::CallWindowProcW(previous, hwnd, message, wParam, lParam)
                        : ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        // The window goes first; the object lets go of it and may be attached again.
        WNDPROC previous = self->m_previousProc;
        self->Detach();
        ::RemovePropW(hwnd, kPreviousProcProperty);
        return ::CallWindowProcW(previous, hwnd, message, wParam, lParam);
    }
    LRESULT result = 0;
    if (self->OnWindowMessage(message, wParam, lParam, result)) return result;
    return self->CallDefault(message, wParam, lParam);
}

CDialog::~CDialog() {
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd)) {
        // The window may still send messages while it goes; it must not reach a half-destroyed object.
        ::SetWindowLongPtrW(m_hWnd, DWLP_USER, 0);
        ::DestroyWindow(m_hWnd);
    }
}

INT_PTR CDialog::DoModal(HWND owner) {
    m_modal = true;
    return ::DialogBoxParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_templateId), owner,
                             &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
}

bool CDialog::Create(HWND parent) {
    m_modal = false;
    HWND hwnd = ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_templateId), parent,
                                     &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    return hwnd != nullptr;
}

void CDialog::EndDialog(INT_PTR result) {
    if (m_modal)
        ::EndDialog(m_hWnd, result);
    else
        Destroy();
}

void CDialog::Destroy() {
    if (m_hWnd != nullptr) ::DestroyWindow(m_hWnd);
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CDialog* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<CDialog*>(lParam);
        ::SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        if (self) self->m_hWnd = hwnd;
    } else {
        self = reinterpret_cast<CDialog*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
    }
    // Messages that arrive before WM_INITDIALOG (WM_SETFONT and friends) or after the object
    // let go of the window have no object to go to.
    if (self == nullptr || self->m_hWnd != hwnd) return FALSE;

    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        self->m_hWnd = nullptr;
        self->OnFinalDestroy();
        return FALSE;
    }
    return self->Dispatch(message, wParam, lParam);
}

INT_PTR CDialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    bool handled = false;
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_COMMAND: {
        WORD id = LOWORD(wParam);
        WORD code = HIWORD(wParam);
        if (OnCommand(id, code, reinterpret_cast<HWND>(lParam))) return TRUE;
        if (id == IDOK) { OnOK(); return TRUE; }
        if (id == IDCANCEL) { OnCancel(); return TRUE; }
        return FALSE;
    }
    case WM_TIMER:
        return OnTimer(wParam) ? TRUE : FALSE;
    default: {
        INT_PTR result = 0;
        if (HWND target = ReflectionTarget(message, wParam, lParam)) {
            if (CControl* control = CControl::FromHandle(target)) {
                LRESULT reflected = 0;
                if (control->OnReflected(message, wParam, lParam, reflected)) {
                    handled = true;
                    result = static_cast<INT_PTR>(reflected);
                }
            }
        }
        if (!handled && !OnMessage(message, wParam, lParam, result)) return FALSE;
        // These messages take their answer as the procedure's return value, not DWLP_MSGRESULT.
        bool direct = (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) ||
                      message == WM_COMPAREITEM || message == WM_VKEYTOITEM ||
                      message == WM_CHARTOITEM || message == WM_QUERYDRAGICON;
        if (direct) return result;
        ::SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, result);
        return TRUE;
    }
    }
}

}  // namespace platform::dialog
