#include "control/ui/SkinWidgets.h"

#include <cstring>

namespace control::ui {

using platform::win32::ScopedGdiObject;
using platform::win32::ScopedSelectObject;

namespace {

constexpr int kBlendedBackgroundY = 120;
constexpr int kHighQualityInterpolation = 2;
constexpr int kAntiAliasSmoothing = 4;

// A memory DC for the life of the scope.
class ScopedMemoryDC {
public:
    explicit ScopedMemoryDC(HDC reference) : dc_(::CreateCompatibleDC(reference)) {}
    ~ScopedMemoryDC() { if (dc_) ::DeleteDC(dc_); }
    ScopedMemoryDC(const ScopedMemoryDC&) = delete;
    ScopedMemoryDC& operator=(const ScopedMemoryDC&) = delete;
    HDC Get() const { return dc_; }

private:
    HDC dc_;
};

HBITMAP CreateSurface(int width, int height, void** bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down, rows in reading order
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}

// The resource bytes in a stream of their own; GDI+ reads from it while decoding.
IStream* OpenPngStream(UINT id) {
    HMODULE module = ::GetModuleHandleW(nullptr);
    HRSRC info = ::FindResourceW(module, MAKEINTRESOURCEW(id), L"PNG");
    if (info == nullptr) return nullptr;
    DWORD size = ::SizeofResource(module, info);
    HGLOBAL loaded = ::LoadResource(module, info);
    const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
    if (bytes == nullptr || size == 0) return nullptr;

    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, size);
    if (block == nullptr) return nullptr;
    void* target = ::GlobalLock(block);
    if (target == nullptr) { ::GlobalFree(block); return nullptr; }
    std::memcpy(target, bytes, size);
    ::GlobalUnlock(block);
    IStream* stream = nullptr;
    if (FAILED(::CreateStreamOnHGlobal(block, TRUE, &stream))) {
        ::GlobalFree(block);
        return nullptr;
    }
    return stream;
}

// Decodes PNG resource `id` and hands its pixels, 32-bit ARGB in reading order, to `consume`
// while the decoder still holds them. A bitmap made from a stream keeps reading that stream, so
// both live only for this call and the result is always a copy.
template <typename Consume>
bool WithPngPixels(UINT id, Consume consume) {
    IStream* stream = OpenPngStream(id);
    if (stream == nullptr) return false;
    bool done = false;
    {
        std::unique_ptr<Gdiplus::Bitmap> decoded(Gdiplus::Bitmap::FromStream(stream));
        if (decoded && decoded->GetLastStatus() == Gdiplus::Ok && decoded->GetWidth() > 0 &&
            decoded->GetHeight() > 0) {
            INT width = static_cast<INT>(decoded->GetWidth()), height = static_cast<INT>(decoded->GetHeight());
            Gdiplus::Rect all(0, 0, width, height);
            Gdiplus::BitmapData data{};
            if (decoded->LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data) == Gdiplus::Ok) {
                done = consume(width, height, static_cast<const BYTE*>(data.Scan0), data.Stride);
                decoded->UnlockBits(&data);
            }
        }
    }
    stream->Release();
    return done;
}

void CopyRows(BYTE* target, INT targetStride, const BYTE* source, INT sourceStride, INT width, INT height) {
    for (INT row = 0; row < height; ++row)
        std::memcpy(target + static_cast<ptrdiff_t>(row) * targetStride,
                    source + static_cast<ptrdiff_t>(row) * sourceStride, static_cast<size_t>(width) * 4);
}

}  // namespace

std::unique_ptr<Gdiplus::Bitmap> LoadPngImage(UINT id) {
    std::unique_ptr<Gdiplus::Bitmap> copy;
    WithPngPixels(id, [&](INT width, INT height, const BYTE* pixels, INT stride) {
        copy.reset(new Gdiplus::Bitmap(width, height, PixelFormat32bppARGB));
        if (copy->GetLastStatus() != Gdiplus::Ok) {
            copy.reset();
            return false;
        }
        Gdiplus::Rect all(0, 0, width, height);
        Gdiplus::BitmapData data{};
        if (copy->LockBits(&all, Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB, &data) != Gdiplus::Ok) {
            copy.reset();
            return false;
        }
        CopyRows(static_cast<BYTE*>(data.Scan0), data.Stride, pixels, stride, width, height);
        copy->UnlockBits(&data);
        return true;
    });
    return copy;
}

HBITMAP LoadPngBitmap(UINT id) {
    HBITMAP bitmap = nullptr;
    WithPngPixels(id, [&](INT width, INT height, const BYTE* pixels, INT stride) {
        void* bits = nullptr;
        bitmap = CreateSurface(width, height, &bits);
        if (bitmap == nullptr) return false;
        CopyRows(static_cast<BYTE*>(bits), width * 4, pixels, stride, width, height);
        return true;
    });
    return bitmap;
}

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP info{};
    if (bitmap == nullptr || ::GetObjectW(bitmap, sizeof info, &info) == 0) return SIZE{0, 0};
    return SIZE{info.bmWidth, info.bmHeight};
}

void DrawBitmap(HDC dc, HBITMAP bitmap, int x, int y) {
    if (bitmap == nullptr) return;
    SIZE size = BitmapSize(bitmap);
    ScopedMemoryDC source(dc);
    ScopedSelectObject select(source.Get(), bitmap);
    ::BitBlt(dc, x, y, size.cx, size.cy, source.Get(), 0, 0, SRCCOPY);
}

// --- CLJImgBtn ---------------------------------------------------------------------------------

bool CLJImgBtn::SetSkin(UINT pngId, bool place, int x, int y) {
    HBITMAP strip = LoadPngBitmap(pngId);
    if (strip == nullptr) return false;
    SIZE size = BitmapSize(strip);
    StateSize state = StripStateSize(size.cx, size.cy);
    if (!IsUsableStateSize(state)) {
        ::DeleteObject(strip);
        return false;
    }
    m_strip.Reset(strip);
    m_state = state;
    m_bBlended = false;
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | (place ? 0 : SWP_NOMOVE);
    ::SetWindowPos(m_hWnd, nullptr, x, y, m_state.width, m_state.height, flags);
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    return true;
}

bool CLJImgBtn::SetBlendedSkin(UINT pngId, UINT backgroundId, int x, int y, int backgroundX) {
    std::unique_ptr<Gdiplus::Bitmap> png = LoadPngImage(pngId);
    ScopedGdiObject background(LoadPngBitmap(backgroundId));
    if (!png || !background) return false;
    StateSize state = StripStateSize(static_cast<int>(png->GetWidth()), static_cast<int>(png->GetHeight()));
    if (!IsUsableStateSize(state)) return false;
    void* bits = nullptr;
    ScopedGdiObject surface(CreateSurface(state.width, state.height, &bits));
    if (!surface) return false;

    m_bBlended = true;
    m_png = std::move(png);
    m_background = std::move(background);
    m_surface = std::move(surface);
    m_state = state;
    m_backgroundPoint = POINT{backgroundX, kBlendedBackgroundY};
    ::SetWindowPos(m_hWnd, nullptr, x, y, m_state.width, m_state.height, SWP_NOZORDER | SWP_NOACTIVATE);
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    return true;
}

bool CLJImgBtn::OnReflected(UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
    if (message != WM_DRAWITEM) return false;
    Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    result = TRUE;
    return true;
}

void CLJImgBtn::Draw(const DRAWITEMSTRUCT& item) {
    ButtonState state = PickButtonState((item.itemState & ODS_SELECTED) != 0, (item.itemState & ODS_DISABLED) != 0,
                                        m_bHover);
    if (m_bBlended) {
        DrawBlended(item.hDC, state);
        return;
    }
    if (!m_strip) return;
    ScopedMemoryDC source(item.hDC);
    ScopedSelectObject select(source.Get(), m_strip.Get());
    ::BitBlt(item.hDC, 0, 0, m_state.width, m_state.height, source.Get(), StateSourceX(state, m_state.width), 0,
             SRCCOPY);
}

void CLJImgBtn::DrawBlended(HDC dc, ButtonState state) {
    ScopedMemoryDC surface(dc);
    ScopedSelectObject selectSurface(surface.Get(), m_surface.Get());
    {
        ScopedMemoryDC background(dc);
        ScopedSelectObject selectBackground(background.Get(), m_background.Get());
        ::BitBlt(surface.Get(), 0, 0, m_state.width, m_state.height, background.Get(), m_backgroundPoint.x,
                 m_backgroundPoint.y, SRCCOPY);
    }
    {
        Gdiplus::Graphics graphics(surface.Get());
        graphics.SetInterpolationMode(static_cast<Gdiplus::InterpolationMode>(kHighQualityInterpolation));
        graphics.SetSmoothingMode(static_cast<Gdiplus::SmoothingMode>(kAntiAliasSmoothing));
        graphics.DrawImage(m_png.get(), -StateSourceX(state, m_state.width), 0, static_cast<INT>(m_png->GetWidth()),
                           static_cast<INT>(m_png->GetHeight()));
    }
    ::BitBlt(dc, 0, 0, m_state.width, m_state.height, surface.Get(), 0, 0, SRCCOPY);
}

bool CLJImgBtn::OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_MOUSEMOVE: {
        if (!m_bHover) {
            TRACKMOUSEEVENT track{};
            track.cbSize = sizeof track;
            track.dwFlags = TME_LEAVE;
            track.hwndTrack = m_hWnd;
            track.dwHoverTime = HOVER_DEFAULT;
            ::TrackMouseEvent(&track);
            m_bHover = true;
            ::InvalidateRect(m_hWnd, nullptr, FALSE);
        }
        RECT client{};
        ::GetClientRect(m_hWnd, &client);
        m_bHover = IsInsideClient(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)),
                                  client.right, client.bottom);
        return false;
    }
    case WM_MOUSELEAVE:
        m_bHover = false;
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
        return false;
    case WM_ERASEBKGND:
        // The whole button is painted from the strip; erasing first only flickers.
        result = 1;
        return true;
    default:
        return false;
    }
}

// --- CSkinPage -----------------------------------------------------------------------------------

CSkinPage::CSkinPage(UINT templateId, UINT backgroundId, RECT place)
    : CDialog(templateId), m_backgroundId(backgroundId), m_place(place) {}

BOOL CSkinPage::OnInitDialog() {
    m_background.Reset(LoadPngBitmap(m_backgroundId));
    ::MoveWindow(m_hWnd, m_place.left, m_place.top, m_place.right - m_place.left, m_place.bottom - m_place.top,
                 FALSE);
    return TRUE;
}

bool CSkinPage::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
    if (message == WM_ERASEBKGND && m_background) {
        DrawBitmap(reinterpret_cast<HDC>(wParam), Background(), 0, 0);
        result = 1;
        return true;
    }
    return false;
}

}  // namespace control::ui
