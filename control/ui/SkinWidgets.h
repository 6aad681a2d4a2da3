// Skinned widgets of the control program: PNG loading from the "PNG" resources, the four-state
// image button CLJImgBtn (simple and blended forms), and the page base that paints a 606 x 363
// background image.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <memory>

#include "control/ui/SkinRules.h"
#include "platform/dialog/Dialog.h"
#include "platform/win32/ScopedWin.h"

namespace control::ui {

// Decodes PNG resource `id` into a 32-bit device-independent bitmap the caller owns; null when
// the resource is missing or cannot be decoded.
HBITMAP LoadPngBitmap(UINT id);

// Decodes PNG resource `id` into a GDI+ bitmap with its alpha; null when the resource is
// missing, empty or not decodable.
std::unique_ptr<Gdiplus::Bitmap> LoadPngImage(UINT id);

// The size of a bitmap handle (0 x 0 for none).
SIZE BitmapSize(HBITMAP bitmap);

// Copies `bitmap` to `dc` at (x, y) in its own size.
void DrawBitmap(HDC dc, HBITMAP bitmap, int x, int y);

// An owner-drawn button painted from a strip of four states. Attach it to the template's
// button (BS_OWNERDRAW), then give it a skin.
class CLJImgBtn : public platform::dialog::CControl {
public:
    // Loads strip `pngId`; sized to one state, and moved to (x, y) of the parent when `place`.
    bool SetSkin(UINT pngId, bool place, int x, int y);
    // The blended form: the PNG's alpha is blended over the part of background image
    // `backgroundId` that lies under the button, (backgroundX, 120).
    bool SetBlendedSkin(UINT pngId, UINT backgroundId, int x, int y, int backgroundX);

    bool OnReflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

protected:
    bool OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void Draw(const DRAWITEMSTRUCT& item);
    void DrawBlended(HDC dc, ButtonState state);

    platform::win32::ScopedGdiObject m_strip;
    StateSize m_state{0, 0};
    bool m_bHover = false;

    bool m_bBlended = false;
    std::unique_ptr<Gdiplus::Bitmap> m_png;
    platform::win32::ScopedGdiObject m_background;
    platform::win32::ScopedGdiObject m_surface;
    POINT m_backgroundPoint{0, 0};
};

// A page of the main window or of the settings container: a child dialog that paints a
// background image and sits at a fixed place in its parent.
class CSkinPage : public platform::dialog::CDialog {
public:
    CSkinPage(UINT templateId, UINT backgroundId, RECT place);

protected:
    BOOL OnInitDialog() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;
    // Enter and Escape in a page must not destroy it.
    void OnOK() override {}
    void OnCancel() override {}

    HBITMAP Background() const { return static_cast<HBITMAP>(m_background.Get()); }

private:
    UINT m_backgroundId;
    RECT m_place;
    platform::win32::ScopedGdiObject m_background;
};

// Where pages sit in the main window.
constexpr RECT kMainPageRect{6, 79, 6 + 606, 79 + 363};

}  // namespace control::ui
