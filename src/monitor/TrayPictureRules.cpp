#include "monitor/TrayPictureRules.h"

namespace monitor {

namespace {

constexpr std::uint32_t kColorBits = 0x00FFFFFFu;

bool SameColor(std::uint32_t first, std::uint32_t second) { return ((first ^ second) & kColorBits) == 0; }

bool ValidBuffer(const std::uint32_t* pixels, int width, int height) {
    return pixels != nullptr && width > 0 && height > 0;
}

}  // namespace

int TrayPictureSize(int smallIconSize) {
    if (smallIconSize < kTrayMinSize) return kTrayMinSize;
    if (smallIconSize > kTrayMaxSize) return kTrayMaxSize;
    return smallIconSize;
}

int SmallIconSizeAtDpi(unsigned dpi) {
    return static_cast<int>(static_cast<std::uint64_t>(dpi) * 16 / 96);  // at most 715,827,882
}

int TrayScale(int designValue, int size) {
    // floor((designValue x size + 16) / 32) in 64 bits: any int pair, negatives rounded alike.
    const std::int64_t shifted = static_cast<std::int64_t>(designValue) * size + kTrayDesignSize / 2;
    const std::int64_t q = shifted / kTrayDesignSize;
    return static_cast<int>(shifted % kTrayDesignSize < 0 ? q - 1 : q);
}

TrayBarLayout TrayBarLayoutFor(int size) {
    TrayBarLayout b{};
    b.frameLeft = TrayScale(1, size);
    // Rounded down, so that at 16 pixels the fill keeps three rows: the
    // thickening darkens the one above the frame's bottom line.
    b.frameTop = 23 * size / kTrayDesignSize;
    b.frameRight = size;
    b.frameBottom = size;
    b.barLeft = b.frameLeft + 1;
    b.barTop = b.frameTop + 1;
    b.barBottom = size - 1;
    b.columns = size - 1;
    const int marker = TrayScale(2, size);
    b.markerWidth = marker < 1 ? 1 : marker;
    return b;
}

std::int32_t TrayBarRight(std::int32_t percent, int size) {
    const TrayBarLayout b = TrayBarLayoutFor(size);
    // |percent x columns| < 2^39 for the sizes drawn: exact in 64 bits.
    return static_cast<std::int32_t>(static_cast<std::int64_t>(percent) * b.columns / 100 + b.barLeft);
}

TrayBarColors TrayBarColorsFor(std::int32_t percent, int cleanPercent) {
    if (cleanPercent != kTrayNoClean) return {kTrayCleaning, kTrayCleaning, kTrayCleaning};
    if (percent >= kTrayEnoughPercent) return {kTrayBlack, kTrayLime, kTrayBlack};
    return {kTrayRed, kTrayRed, kTrayRed};
}

std::int32_t TrayBarPercent(std::int32_t freePercent, int cleanPercent) {
    if (cleanPercent == kTrayNoClean) return freePercent;
    return cleanPercent < 0 ? 0 : cleanPercent > 100 ? 100 : cleanPercent;
}

std::wstring TrayText(std::int64_t freeMb) {
    if (freeMb < kTrayGigabytesFromMb) return std::to_wstring(freeMb);
    const std::int64_t gigabytes = freeMb / 1024;
    if (gigabytes < kTrayTerabytesFromGb) return std::to_wstring(gigabytes) + L"G";
    // Whole terabytes, rounded: truncated, 1,000 to 1,023 GB would show "0T".
    const std::int64_t terabytes = (gigabytes + 512) / 1024;
    return std::to_wstring(terabytes < kTrayMostTerabytes ? terabytes : kTrayMostTerabytes) + L"T";
}

void ThickenBlack(std::uint32_t* pixels, int width, int height, std::uint32_t black) {
    if (!ValidBuffer(pixels, width, height)) return;
    // Row by row from the top gives the same result as column by column:
    // painting row y - 1 never changes a row still to be examined.
    for (int y = 1; y < height; ++y) {
        std::uint32_t* row = pixels + static_cast<std::size_t>(y) * width;
        std::uint32_t* above = row - width;
        for (int x = 0; x < width; ++x) {
            if (SameColor(row[x], black)) above[x] = black;
        }
    }
}

std::vector<std::uint8_t> IconMaskBits(const std::uint32_t* pixels, int width, int height,
                                       std::uint32_t key) {
    if (!ValidBuffer(pixels, width, height)) return {};
    const std::size_t stride = (static_cast<std::size_t>(width) + 15) / 16 * 2;
    std::vector<std::uint8_t> bits(stride * height, 0);
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* row = pixels + static_cast<std::size_t>(y) * width;
        for (int x = 0; x < width; ++x) {
            if (SameColor(row[x], key)) bits[y * stride + x / 8] |= std::uint8_t(0x80u >> (x % 8));
        }
    }
    return bits;
}

void PaintKeyBlack(std::uint32_t* pixels, int width, int height, std::uint32_t key) {
    if (!ValidBuffer(pixels, width, height)) return;
    const std::size_t count = static_cast<std::size_t>(width) * height;
    for (std::size_t i = 0; i < count; ++i) {
        pixels[i] = SameColor(pixels[i], key) ? 0u : (pixels[i] & kColorBits);
    }
}

}  // namespace monitor
