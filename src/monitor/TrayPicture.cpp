#include "monitor/TrayPicture.h"

#include <string>
#include <vector>

#include "monitor/TrayPictureRules.h"
#include "platform/DynCalls.h"

namespace monitor {

int(WINAPI* TrayIconMetrics)(int index) = ::GetSystemMetrics;
int (*TrayIconSizeQuery)() = &TaskbarSmallIconSize;

namespace {

// DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE and MDT_EFFECTIVE_DPI, which the
// XP-era headers this program is built with do not define.
const HANDLE kPerMonitorAware = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-3));
constexpr int kEffectiveDpi = 0;

// The monitor the taskbar is on; the primary one while there is no taskbar.
UINT TaskbarDpi(decltype(platform::DynCallTable::GetDpiForMonitor) dpiForMonitor) {
    HMONITOR monitor = ::MonitorFromWindow(::FindWindowW(L"Shell_TrayWnd", nullptr), MONITOR_DEFAULTTOPRIMARY);
    UINT dpiX = 0, dpiY = 0;
    return SUCCEEDED(dpiForMonitor(monitor, kEffectiveDpi, &dpiX, &dpiY)) ? dpiX : 0;
}

}  // namespace

int TaskbarSmallIconSize() {
    const platform::DynCallTable& calls = platform::DynCalls();
    const auto setContext = calls.SetThreadDpiAwarenessContext;
    const auto metricsForDpi = calls.GetSystemMetricsForDpi;
    const auto dpiForMonitor = calls.GetDpiForMonitor;
    if (setContext && metricsForDpi && dpiForMonitor) {
        // An unaware thread is told 96 DPI: ask as a per-monitor-aware one,
        // and put the thread's own context back at once.
        if (HANDLE previous = setContext(kPerMonitorAware)) {
            const UINT dpi = TaskbarDpi(dpiForMonitor);
            const int size = dpi ? metricsForDpi(SM_CXSMICON, dpi) : 0;
            (void)setContext(previous);
            if (size > 0) return size;
        }
    }
    if (dpiForMonitor) {
        if (const UINT dpi = TaskbarDpi(dpiForMonitor)) return SmallIconSizeAtDpi(dpi);
    }
    return ::GetSystemMetrics(SM_CXSMICON);
}

void DrawTrayImage(widgets::TBitmap& image, std::int32_t percent, std::int64_t freeMB) {
    // The picture is square; drawn at its own size, the design scaled to it.
    const int size = image.Width() < image.Height() ? image.Width() : image.Height();
    widgets::TCanvas& canvas = image.Canvas();
    canvas.SetBrushColor(widgets::clWhite);
    canvas.FillRect(RECT{0, 0, image.Width(), image.Height()});

    // Name, height and style are all set every time: the canvas keeps its
    // font between calls, and a small number must not inherit the bold of a
    // large one drawn before it.
    const TrayTextLayout text = TrayTextLayoutFor(freeMB, size);
    const std::wstring number = TrayText(freeMB);
    canvas.SetFontName(text.font);
    canvas.SetFontHeight(text.height);
    canvas.SetFontBold(text.bold);
    canvas.SetFontColor(widgets::clBlack);
    canvas.SetFontWidth(0);
    // A text that does not fit the picture's width is fitted. At 32 pixels
    // only gigabytes are, by making the face smaller (the two-digit figures
    // of today's machines fit at once); at the scaled sizes any text is, by
    // drawing its glyphs narrower, which keeps them as tall as the layout
    // says. At 32 a text's cell (its advance) ends in the last glyph's own
    // spacing, so its ink stays clear of the last column. The fit is kept
    // with the text's shape and the size: digits are all equally wide in
    // these faces, so a tick whose figure keeps its number of digits
    // measures nothing.
    std::wstring shape = number;
    for (wchar_t& c : shape)
        if (c > L'0' && c <= L'9') c = L'0';
    static std::wstring fittedShape;
    static int fittedSize = 0, fittedHeight = 0, fittedWidth = 0;
    const auto extent = [&] { return static_cast<int>(canvas.TextExtent(number).cx); };
    // Narrowed glyphs may end without spacing: a gigabyte text is kept off
    // the last column, as at 32; four digits need every column.
    const int room = freeMB >= kTrayGigabytesFromMb ? size - 1 : size;
    if (shape != fittedShape || size != fittedSize) {
        fittedHeight = text.height;
        fittedWidth = 0;
        if (size == kTrayDesignSize && freeMB >= kTrayGigabytesFromMb) {
            fittedHeight = TrayTextFitHeight(text.height, size, [&](int h) {
                canvas.SetFontHeight(h);
                return extent();
            });
        } else if (size != kTrayDesignSize && extent() > room) {
            fittedWidth = TrayTextFitHeight(canvas.AverageCharWidth(), room, [&](int w) {
                canvas.SetFontWidth(w);
                return extent();
            });
        }
        fittedShape = shape;
        fittedSize = size;
    }
    canvas.SetFontHeight(fittedHeight);
    canvas.SetFontWidth(fittedWidth);
    canvas.TextOut(text.x, text.y, number);

    const TrayBarLayout bar = TrayBarLayoutFor(size);
    const TrayBarColors colors = TrayBarColorsFor(percent);
    canvas.SetPen(colors.frame, 1);
    canvas.Rectangle(bar.frameLeft, bar.frameTop, bar.frameRight, bar.frameBottom);

    const int right = TrayBarRight(percent, size);
    canvas.SetBrushColor(colors.fill);
    // An empty or inverted rectangle (0 percent or less) has nothing to fill.
    if (right > bar.barLeft) canvas.FillRect(RECT{bar.barLeft, bar.barTop, right, bar.barBottom});

    canvas.SetPen(colors.marker, bar.markerWidth);
    canvas.MoveTo(right + 1, bar.barTop);
    canvas.LineTo(right + 1, bar.barBottom);
}

platform::UniqueIcon MakeTrayIcon(widgets::TBitmap& bitmap) {
    TrayIconMaker maker;
    return maker.Make(bitmap);
}

platform::UniqueIcon TrayIconMaker::Make(widgets::TBitmap& bitmap) {
    return Make(bitmap, TrayIconMetrics(SM_CXICON), TrayIconMetrics(SM_CYICON));
}

platform::UniqueIcon TrayIconMaker::Make(widgets::TBitmap& bitmap, int cx, int cy) {
    if (std::uint32_t* picture = bitmap.Bits())
        ThickenBlack(picture, bitmap.Width(), bitmap.Height(), ColorToPixelWord(kTrayBlack));

    if (color_.Empty() || color_.Width() != cx || color_.Height() != cy) color_.SetSize(cx, cy);
    std::uint32_t* pixels = color_.Bits();
    if (!pixels) return platform::UniqueIcon();
    // Covers every pixel of the kept picture: nothing of the last icon stays.
    color_.Canvas().StretchDraw(RECT{0, 0, cx, cy}, bitmap.Dc(), bitmap.Width(), bitmap.Height());

    pixels = color_.Bits();  // flushes the stretch
    const std::vector<std::uint8_t> bits =
        IconMaskBits(pixels, cx, cy, ColorToPixelWord(kTrayKeyColor));
    if (bits.empty()) return platform::UniqueIcon();
    const bool maskRewritten = mask_ && maskWidth_ == cx && maskHeight_ == cy &&
                               ::SetBitmapBits(mask_.get(), static_cast<DWORD>(bits.size()), bits.data()) != 0;
    if (!maskRewritten) {
        mask_.reset(::CreateBitmap(cx, cy, 1, 1, bits.data()));
        maskWidth_ = cx;
        maskHeight_ = cy;
    }
    if (!mask_) return platform::UniqueIcon();
    PaintKeyBlack(pixels, cx, cy, ColorToPixelWord(kTrayKeyColor));

    ICONINFO info{};
    info.fIcon = TRUE;
    info.hbmMask = mask_.get();
    info.hbmColor = color_.Deselect();  // a bitmap selected into a DC must not be used here
    platform::UniqueIcon icon(::CreateIconIndirect(&info));
    color_.Reselect();
    return icon;  // the system copied both bitmaps: ours are free for the next icon
}

}  // namespace monitor
