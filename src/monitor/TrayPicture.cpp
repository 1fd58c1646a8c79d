#include "monitor/TrayPicture.h"

#include <string>
#include <vector>

#include "monitor/TrayPictureRules.h"

namespace monitor {

int(WINAPI* TrayIconMetrics)(int index) = ::GetSystemMetrics;

void DrawTrayImage(widgets::TBitmap& image, std::int32_t percent, std::int64_t freeMB) {
    widgets::TCanvas& canvas = image.Canvas();
    canvas.SetBrushColor(widgets::clWhite);
    canvas.FillRect(RECT{0, 0, image.Width(), image.Height()});

    // Name, height and style are all set every time: the canvas keeps its
    // font between calls, and a small number must not inherit the bold of a
    // large one drawn before it.
    const TrayTextLayout text = TrayTextLayoutFor(freeMB);
    const std::wstring number = TrayText(freeMB);
    canvas.SetFontName(text.font);
    canvas.SetFontHeight(text.height);
    canvas.SetFontBold(text.bold);
    canvas.SetFontColor(widgets::clBlack);
    if (freeMB >= kTrayGigabytesFromMb) {
        // Gigabytes with three or more digits do not fit at the layout's
        // height: the face is made smaller until the text's cell fits the
        // picture. The two-digit figures of today's machines fit at once.
        // The text changes seldom (once per gigabyte): its height is kept
        // with it, so a tick that shows the same text measures nothing.
        static std::wstring fittedText;
        static int fittedHeight = 0;
        if (number != fittedText) {
            fittedHeight = TrayTextFitHeight(text.height, kTrayTextMaxWidth, [&](int h) {
                canvas.SetFontHeight(h);
                return static_cast<int>(canvas.TextExtent(number).cx);
            });
            fittedText = number;
        }
        canvas.SetFontHeight(fittedHeight);
    }
    canvas.TextOut(text.x, text.y, number);

    const TrayBarColors colors = TrayBarColorsFor(percent);
    canvas.SetPen(colors.frame, 1);
    canvas.Rectangle(kTrayFrameLeft, kTrayFrameTop, kTrayFrameRight, kTrayFrameBottom);

    const int right = TrayBarRight(percent);
    canvas.SetBrushColor(colors.fill);
    // An empty or inverted rectangle (0 percent or less) has nothing to fill.
    if (right > kTrayBarLeft) canvas.FillRect(RECT{kTrayBarLeft, kTrayBarTop, right, kTrayBarBottom});

    canvas.SetPen(colors.marker, 2);
    canvas.MoveTo(right + 1, kTrayBarTop);
    canvas.LineTo(right + 1, kTrayBarBottom);
}

widgets::UniqueIcon MakeTrayIcon(widgets::TBitmap& bitmap) {
    TrayIconMaker maker;
    return maker.Make(bitmap);
}

widgets::UniqueIcon TrayIconMaker::Make(widgets::TBitmap& bitmap) {
    if (std::uint32_t* picture = bitmap.Bits())
        ThickenBlack(picture, bitmap.Width(), bitmap.Height(), ColorToPixelWord(kTrayBlack));

    const int cx = TrayIconMetrics(SM_CXICON);
    const int cy = TrayIconMetrics(SM_CYICON);
    if (color_.Empty() || color_.Width() != cx || color_.Height() != cy) color_.SetSize(cx, cy);
    std::uint32_t* pixels = color_.Bits();
    if (!pixels) return widgets::UniqueIcon();
    // Covers every pixel of the kept picture: nothing of the last icon stays.
    color_.Canvas().StretchDraw(RECT{0, 0, cx, cy}, bitmap.Dc(), bitmap.Width(), bitmap.Height());

    pixels = color_.Bits();  // flushes the stretch
    const std::vector<std::uint8_t> bits =
        IconMaskBits(pixels, cx, cy, ColorToPixelWord(kTrayKeyColor));
    if (bits.empty()) return widgets::UniqueIcon();
    const bool maskRewritten = mask_ && maskWidth_ == cx && maskHeight_ == cy &&
                               ::SetBitmapBits(mask_.get(), static_cast<DWORD>(bits.size()), bits.data()) != 0;
    if (!maskRewritten) {
        mask_.reset(::CreateBitmap(cx, cy, 1, 1, bits.data()));
        maskWidth_ = cx;
        maskHeight_ = cy;
    }
    if (!mask_) return widgets::UniqueIcon();
    PaintKeyBlack(pixels, cx, cy, ColorToPixelWord(kTrayKeyColor));

    ICONINFO info{};
    info.fIcon = TRUE;
    info.hbmMask = mask_.get();
    info.hbmColor = color_.Deselect();  // a bitmap selected into a DC must not be used here
    widgets::UniqueIcon icon(::CreateIconIndirect(&info));
    color_.Reselect();
    return icon;  // the system copied both bitmaps: ours are free for the next icon
}

}  // namespace monitor
