// A list control with a radio group in one column of every row: each row carries a CLCBgDlg
// panel (template 275) whose radios are "자동복구", "수동복구" and "복구 미사용".
#pragma once

#include <windows.h>

#include <set>

#include "platform/dialog/Dialog.h"
#include "platform/win32/ScopedWin.h"

namespace control::ui {

// The row panel: a white child dialog holding the three radios. It deletes itself when its
// window goes.
class CLCBgDlg : public platform::dialog::CDialog {
public:
    CLCBgDlg();

protected:
    BOOL OnInitDialog() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;
    void OnOK() override {}
    void OnCancel() override {}
    void OnFinalDestroy() override { delete this; }

private:
    platform::win32::ScopedGdiObject m_whiteBrush;
};

// Attach to a report-view list control of a page; rows inserted afterwards get their panels.
class CRdListCtrl : public platform::dialog::CControl {
public:
    // The column the panels sit in (0 unless set).
    void SetPanelColumn(int column) { m_nColumn = column; }
    int PanelColumn() const { return m_nColumn; }

    // The panel of a row (null when the row has none).
    CLCBgDlg* RowPanel(int row) const;
    // The checked radio of a row's panel (1091-1093), or 0 when none is checked.
    int RowChoice(int row) const;
    void SetRowChoice(int row, int radioId) const;

    bool OnReflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void AddPanel(int row);
    void RemovePanel(LPARAM itemData);

    int m_nColumn = 0;
    // Panels this list made; item data that is not one of them is never treated as a panel.
    std::set<CLCBgDlg*> m_panels;
};

}  // namespace control::ui
