// The small dialog framework both programs are built on: a non-owning window value with helpers
// keyed by control id, and dialog classes that bind `this` when their window is created and
// dispatch messages to virtual handlers.
#pragma once

#include <windows.h>

#include <string>

namespace platform::dialog {

// A window handle with helpers; owns nothing.
class CWindow {
public:
    CWindow() = default;
    explicit CWindow(HWND hwnd) : m_hWnd(hwnd) {}

    HWND Handle() const { return m_hWnd; }
    bool IsWindow() const { return m_hWnd != nullptr && ::IsWindow(m_hWnd); }

    HWND Item(int id) const { return ::GetDlgItem(m_hWnd, id); }
    std::wstring ItemText(int id) const;
    void SetItemText(int id, const std::wstring& text) const { ::SetDlgItemTextW(m_hWnd, id, text.c_str()); }
    bool IsChecked(int id) const { return ::IsDlgButtonChecked(m_hWnd, id) == BST_CHECKED; }
    void SetChecked(int id, bool checked) const {
        ::CheckDlgButton(m_hWnd, id, checked ? BST_CHECKED : BST_UNCHECKED);
    }
    void EnableItem(int id, bool enable) const { ::EnableWindow(Item(id), enable ? TRUE : FALSE); }
    void ShowItem(int id, bool show) const { ::ShowWindow(Item(id), show ? SW_SHOW : SW_HIDE); }
    std::wstring Text() const;
    void SetText(const std::wstring& text) const { ::SetWindowTextW(m_hWnd, text.c_str()); }
    void CenterOnScreen() const;

protected:
    HWND m_hWnd = nullptr;
};

// A child control driven by an object of ours. Once attached, the control's own messages go to
// OnWindowMessage first (subclassing), and the messages its parent dialog receives about it
// (WM_DRAWITEM, WM_NOTIFY, WM_CTLCOLOR*) are reflected to OnReflected, so an owner-drawn button
// or a list with panels paints and manages itself. The object must outlive its window or be
// detached first.
class CControl : public CWindow {
public:
    CControl() = default;
    virtual ~CControl();
    CControl(const CControl&) = delete;
    CControl& operator=(const CControl&) = delete;

    // Binds the control `id` of `parent`; false when there is no such control.
    bool Attach(HWND parent, int id);
    bool Attach(HWND control);
    void Detach();

    // The object bound to a control window, if any.
    static CControl* FromHandle(HWND control);

    // Called by the parent dialog; true when the message was answered, with `result`.
    virtual bool OnReflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) { return false; }

protected:
    virtual bool OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) { return false; }
    LRESULT CallDefault(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    WNDPROC m_previousProc = nullptr;
};

// Loads a string-table entry (empty when missing).
std::wstring LoadStringResource(UINT id, HINSTANCE module = nullptr);

// A dialog from a template. Derived classes override the handlers they need; a handler returns
// true when it handled the message. The object must outlive its window.
class CDialog : public CWindow {
public:
    explicit CDialog(UINT templateId) : m_templateId(templateId) {}
    virtual ~CDialog();
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // Runs the dialog modally; returns the value given to EndDialog, or -1 when it could not be made.
    INT_PTR DoModal(HWND owner = nullptr);
    // Creates the dialog modeless (as a child page when `parent` has WS_CHILD templates).
    bool Create(HWND parent);
    void EndDialog(INT_PTR result);
    void Destroy();

    UINT TemplateId() const { return m_templateId; }

protected:
    virtual BOOL OnInitDialog() { return TRUE; }
    virtual bool OnCommand(WORD id, WORD code, HWND control) { return false; }
    virtual bool OnTimer(UINT_PTR id) { return false; }
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    // Every other message; set `result` and return true to answer it.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) { return false; }
    // Called after the window is gone; a self-deleting dialog deletes itself here.
    virtual void OnFinalDestroy() {}

    bool m_modal = false;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    UINT m_templateId;
};

}  // namespace platform::dialog
