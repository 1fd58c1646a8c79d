#include "monitor/TrayPicture.h"

#include <string>
#include <vector>

#include "monitor/TrayGlyphRules.h"
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

void DrawTrayImage(widgets::TBitmap& image, std::int32_t percent, std::int64_t freeMB, int cleanPercent) {
    // The picture is square; drawn at its own size, the design scaled to it.
    const int size = image.Width() < image.Height() ? image.Width() : image.Height();
    widgets::TCanvas& canvas = image.Canvas();
    canvas.SetBrushColor(widgets::clWhite);
    canvas.FillRect(RECT{0, 0, image.Width(), image.Height()});

    const TrayBarLayout bar = TrayBarLayoutFor(size);
    const TrayBarColors colors = TrayBarColorsFor(percent, cleanPercent);
    canvas.SetPen(colors.frame, 1);
    canvas.Rectangle(bar.frameLeft, bar.frameTop, bar.frameRight, bar.frameBottom);

    const int right = TrayBarRight(TrayBarPercent(percent, cleanPercent), size);
    canvas.SetBrushColor(colors.fill);
    // An empty or inverted rectangle (0 percent or less) has nothing to fill.
    if (right > bar.barLeft) canvas.FillRect(RECT{bar.barLeft, bar.barTop, right, bar.barBottom});

    canvas.SetPen(colors.marker, bar.markerWidth);
    canvas.MoveTo(right + 1, bar.barTop);
    canvas.LineTo(right + 1, bar.barBottom);

    // The figure goes straight into the pixels (Bits() lets GDI finish first),
    // in the black that the icon's thickening step completes.
    if (std::uint32_t* pixels = image.Bits())
        DrawTrayFigure(pixels, image.Width(), size, TrayText(freeMB), ColorToPixelWord(kTrayBlack));
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
