#include "widgets/Graphics.h"

namespace widgets {

namespace {

// Stores value in field; true when that changed it.
template <class T>
bool Change(T& field, const T& value) {
    if (field == value) return false;
    field = value;
    return true;
}

}  // namespace

void TCanvas::SetBrushColor(TColor color) {
    if (!Change(brushColor_, color)) return;
    if (dc_ && brush_) ::SelectObject(dc_, ::GetStockObject(WHITE_BRUSH));
    brush_.reset();
}

void TCanvas::SetPen(TColor color, int width) {
    if (color != penColor_ || width != penWidth_) {
        penColor_ = color;
        penWidth_ = width;
        if (dc_ && pen_) ::SelectObject(dc_, ::GetStockObject(BLACK_PEN));
        pen_.reset();
    }
}

// A changed font part drops the font; the next text makes it again.
void TCanvas::SetFontName(const std::wstring& name) {
    if (Change(fontName_, name)) dropFont();
}
void TCanvas::SetFontHeight(int height) {
    if (Change(fontHeight_, height)) dropFont();
}
void TCanvas::SetFontBold(bool bold) {
    if (Change(fontBold_, bold)) dropFont();
}
void TCanvas::SetFontWidth(int width) {
    if (Change(fontWidth_, width)) dropFont();
}

void TCanvas::dropFont() {
    if (dc_ && font_) ::SelectObject(dc_, ::GetStockObject(SYSTEM_FONT));
    font_.reset();
}

TCanvas::~TCanvas() { SetHandle(nullptr); }

void TCanvas::SetHandle(HDC dc) noexcept {
    // Objects must not stay selected into a DC they outlive or are deleted from.
    if (dc_ && dc != dc_) {
        ::SelectObject(dc_, ::GetStockObject(BLACK_PEN));
        ::SelectObject(dc_, ::GetStockObject(WHITE_BRUSH));
        ::SelectObject(dc_, ::GetStockObject(SYSTEM_FONT));
    }
    dc_ = dc;
}

// The canvas's objects stay selected into the DC between calls; the DC's own
// stock objects come back when the owning bitmap or window releases the DC.
// Selecting an object into a DIB section's DC makes the drawing engine
// prepare it anew, so an object already in place is not selected again (the
// DC itself is asked: someone else may have selected another object meanwhile).
void TCanvas::selectPen() {
    if (!pen_) pen_.reset(::CreatePen(PS_SOLID, penWidth_, penColor_));
    if (::GetCurrentObject(dc_, OBJ_PEN) != pen_.get()) ::SelectObject(dc_, pen_.get());
    if (::GetROP2(dc_) != R2_COPYPEN) ::SetROP2(dc_, R2_COPYPEN);
}
void TCanvas::selectBrush() {
    if (!brush_) brush_.reset(::CreateSolidBrush(brushColor_));
    if (::GetCurrentObject(dc_, OBJ_BRUSH) != brush_.get()) ::SelectObject(dc_, brush_.get());
}
void TCanvas::selectFont() {
    if (!font_) {
        LOGFONTW lf{};
        lf.lfHeight = fontHeight_;
        lf.lfWidth = fontWidth_;
        lf.lfWeight = fontBold_ ? FW_BOLD : FW_NORMAL;
        lf.lfCharSet = DEFAULT_CHARSET;
        lf.lfQuality = NONANTIALIASED_QUALITY;
        lstrcpynW(lf.lfFaceName, fontName_.c_str(), LF_FACESIZE);
        font_.reset(::CreateFontIndirectW(&lf));
    }
    if (::GetCurrentObject(dc_, OBJ_FONT) != font_.get()) ::SelectObject(dc_, font_.get());
}

void TCanvas::FillRect(const RECT& rect) {
    selectBrush();
    ::FillRect(dc_, &rect, brush_.get());
}

void TCanvas::Rectangle(int left, int top, int right, int bottom) {
    selectPen();
    selectBrush();
    ::Rectangle(dc_, left, top, right, bottom);
}

void TCanvas::MoveTo(int x, int y) { ::MoveToEx(dc_, x, y, nullptr); }

void TCanvas::LineTo(int x, int y) {
    selectPen();
    ::LineTo(dc_, x, y);
}

void TCanvas::PolylineTo(const POINT* points, int count) {
    if (count <= 0) return;
    selectPen();
    ::PolylineTo(dc_, points, static_cast<DWORD>(count));
}

void TCanvas::TextOut(int x, int y, const std::wstring& text) {
    selectFont();
    ::SetBkMode(dc_, OPAQUE);
    ::SetBkColor(dc_, brushColor_);
    ::SetTextColor(dc_, fontColor_);
    ::SetTextAlign(dc_, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    ::TextOutW(dc_, x, y, text.c_str(), static_cast<int>(text.size()));
}

SIZE TCanvas::TextExtent(const std::wstring& text) {
    selectFont();
    SIZE s{};
    ::GetTextExtentPoint32W(dc_, text.c_str(), static_cast<int>(text.size()), &s);
    return s;
}

int TCanvas::AverageCharWidth() {
    selectFont();
    TEXTMETRICW metrics{};
    return ::GetTextMetricsW(dc_, &metrics) ? static_cast<int>(metrics.tmAveCharWidth) : 0;
}

TColor TCanvas::Pixel(int x, int y) const { return ::GetPixel(dc_, x, y); }
void TCanvas::SetPixel(int x, int y, TColor color) { ::SetPixelV(dc_, x, y, color); }

void TCanvas::StretchDraw(const RECT& dest, HDC source, int width, int height) {
    ::SetStretchBltMode(dc_, COLORONCOLOR);
    ::StretchBlt(dc_, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, source, 0,
                 0, width, height, SRCCOPY);
}

TBitmap::~TBitmap() {
    // Put the DC's original bitmap back before the DIB and the DC go.
    if (dc_ && originalBitmap_) ::SelectObject(dc_.get(), originalBitmap_);
}

void TBitmap::SetSize(int width, int height) {
    if (dc_ && originalBitmap_) ::SelectObject(dc_.get(), originalBitmap_);
    originalBitmap_ = nullptr;
    bitmap_.reset();
    bits_ = nullptr;
    width_ = width;
    height_ = height;
    if (!dc_) dc_.reset(::CreateCompatibleDC(nullptr));
    canvas_.SetHandle(dc_.get());
    if (width <= 0 || height <= 0) return;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;  // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    bitmap_.reset(::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits_, nullptr, 0));
    if (bitmap_) originalBitmap_ = ::SelectObject(dc_.get(), bitmap_.get());
}

std::uint32_t* TBitmap::Bits() noexcept {
    ::GdiFlush();
    return static_cast<std::uint32_t*>(bits_);
}

HBITMAP TBitmap::Deselect() noexcept {
    if (dc_ && originalBitmap_) ::SelectObject(dc_.get(), originalBitmap_);
    return bitmap_.get();
}

void TBitmap::Reselect() noexcept {
    if (dc_ && bitmap_) ::SelectObject(dc_.get(), bitmap_.get());
}

}  // namespace widgets
