// Drawing surfaces: TBitmap (a 32-bit top-down DIB section with its own memory
// DC) and TCanvas (the toolkit-style drawing state over a DC: brush, pen and
// font that persist between calls, and the drawing operations the monitor
// uses). GDI objects are created when a setting changes and reused otherwise.
#pragma once
#include <windows.h>
#include <cstdint>
#include <string>
#include "platform/Handle.h"

namespace widgets {

using TColor = COLORREF;
constexpr TColor clBlack = RGB(0, 0, 0);
constexpr TColor clWhite = RGB(255, 255, 255);
constexpr TColor clRed = RGB(255, 0, 0);
constexpr TColor clLime = RGB(0, 255, 0);
constexpr TColor clGreen = RGB(0, 128, 0);
constexpr TColor clNavy = RGB(0, 0, 128);

class TCanvas {
public:
    TCanvas() = default;
    explicit TCanvas(HDC dc) : dc_(dc) {}
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;
    ~TCanvas();

    // Switches the canvas to another DC, first putting stock objects back
    // into the previous one.
    void SetHandle(HDC dc) noexcept;
    HDC Handle() const noexcept { return dc_; }

    // Brush (always solid).
    void SetBrushColor(TColor color);
    TColor BrushColor() const noexcept { return brushColor_; }
    // Pen (solid, copy mode).
    void SetPen(TColor color, int width);
    TColor PenColor() const noexcept { return penColor_; }
    int PenWidth() const noexcept { return penWidth_; }
    // Font; height follows LOGFONT: positive = cell height, negative = character height.
    void SetFontName(const std::wstring& name);
    void SetFontHeight(int height);
    void SetFontBold(bool bold);
    // Average character width in pixels (LOGFONT lfWidth): 0 is the face's
    // own proportions; a smaller value draws the glyphs narrower.
    void SetFontWidth(int width);
    void SetFontColor(TColor color) noexcept { fontColor_ = color; }
    const std::wstring& FontName() const noexcept { return fontName_; }
    int FontHeight() const noexcept { return fontHeight_; }
    bool FontBold() const noexcept { return fontBold_; }
    int FontWidth() const noexcept { return fontWidth_; }
    // The selected font's average character width (its text metrics).
    int AverageCharWidth();

    void FillRect(const RECT& rect);
    // Outlined with the pen, filled with the brush; right/bottom exclusive.
    void Rectangle(int left, int top, int right, int bottom);
    void MoveTo(int x, int y);
    // Paints from the current position up to, but not including, (x, y).
    void LineTo(int x, int y);
    // LineTo to each point in turn, in one call: the same pixels (every end
    // point is left to the next segment, the last one unpainted), and the
    // current position ends at the last point.
    void PolylineTo(const POINT* points, int count);
    // Text cell painted on the brush colour.
    void TextOut(int x, int y, const std::wstring& text);
    SIZE TextExtent(const std::wstring& text);
    TColor Pixel(int x, int y) const;
    void SetPixel(int x, int y, TColor color);
    void StretchDraw(const RECT& dest, HDC source, int width, int height);

private:
    void selectPen();
    void selectBrush();
    void selectFont();
    void dropFont();

    HDC dc_ = nullptr;
    TColor brushColor_ = clWhite;
    TColor penColor_ = clBlack;
    int penWidth_ = 1;
    std::wstring fontName_ = L"MS Sans Serif";
    int fontHeight_ = -11;
    bool fontBold_ = false;
    int fontWidth_ = 0;
    TColor fontColor_ = clBlack;
    platform::UniqueBrush brush_;
    platform::UniquePen pen_;
    platform::UniqueFont font_;
};

// A 32-bit top-down DIB section selected into its own memory DC. Pixels are
// 0x00RRGGBB in memory; Pixel()/SetPixel() on the canvas speak COLORREF.
class TBitmap {
public:
    TBitmap() = default;
    TBitmap(int width, int height) { SetSize(width, height); }
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;
    ~TBitmap();

    // (Re)creates the surface at the given size, cleared to black.
    void SetSize(int width, int height);
    int Width() const noexcept { return width_; }
    int Height() const noexcept { return height_; }
    bool Empty() const noexcept { return !bitmap_; }
    HDC Dc() const noexcept { return dc_.get(); }
    HBITMAP Handle() const noexcept { return bitmap_.get(); }
    TCanvas& Canvas() noexcept { return canvas_; }
    // Direct pixel memory (after GdiFlush), width*height words, row-major.
    std::uint32_t* Bits() noexcept;
    // The bitmap handle with the DC's hold released, for calls such as
    // CreateIconIndirect that must not see it selected; Reselect() undoes it.
    HBITMAP Deselect() noexcept;
    void Reselect() noexcept;

private:
    int width_ = 0, height_ = 0;
    void* bits_ = nullptr;
    platform::UniqueMemoryDc dc_;
    platform::UniqueBitmap bitmap_;
    HGDIOBJ originalBitmap_ = nullptr;
    TCanvas canvas_;
};

inline TColor PixelToColor(std::uint32_t pixel) noexcept {
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}
inline std::uint32_t ColorToPixel(TColor color) noexcept {
    return (std::uint32_t(GetRValue(color)) << 16) | (std::uint32_t(GetGValue(color)) << 8) | GetBValue(color);
}

// Scope guard for GetDC/ReleaseDC.
class WindowDc {
public:
    explicit WindowDc(HWND wnd) noexcept : wnd_(wnd), dc_(::GetDC(wnd)) {}
    ~WindowDc() {
        if (dc_) ::ReleaseDC(wnd_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const noexcept { return dc_; }

private:
    HWND wnd_;
    HDC dc_;
};

// Scope guard for BeginPaint/EndPaint.
class PaintDc {
public:
    explicit PaintDc(HWND wnd) noexcept : wnd_(wnd) { dc_ = ::BeginPaint(wnd, &ps_); }
    ~PaintDc() { ::EndPaint(wnd_, &ps_); }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    HDC get() const noexcept { return dc_; }
    const PAINTSTRUCT& info() const noexcept { return ps_; }

private:
    HWND wnd_;
    PAINTSTRUCT ps_{};
    HDC dc_;
};

}  // namespace widgets
