#include "monitor/TrayPictureRules.h"

namespace monitor {

namespace {

constexpr std::uint32_t kColorBits = 0x00FFFFFFu;

bool SameColor(std::uint32_t a, std::uint32_t b) { return ((a ^ b) & kColorBits) == 0; }

bool ValidBuffer(const std::uint32_t* pixels, int width, int height) {
    return pixels != nullptr && width > 0 && height > 0;
}

}  // namespace

std::int32_t TrayBarRight(std::int32_t percent) {
    // |percent * 31| < 2^36: exact in 64 bits; the result is within int32.
    return static_cast<std::int32_t>(static_cast<std::int64_t>(percent) * 31 / 100 + 2);
}

TrayBarColors TrayBarColorsFor(std::int32_t percent) {
    if (percent >= kTrayEnoughPercent) return {kTrayBlack, kTrayLime, kTrayBlack};
    return {kTrayRed, kTrayRed, kTrayRed};
}

TrayTextLayout TrayTextLayoutFor(std::int64_t freeMb) {
    if (freeMb >= 1000) return {0, 3, L"MS Sans Serif", 18, true};
    if (freeMb >= 100) return {0, -2, L"MS Serif", 26, false};
    if (freeMb >= 10) return {5, -2, L"MS Serif", 26, false};
    return {12, -2, L"MS Serif", 26, false};
}

std::wstring TrayText(std::int64_t freeMb) {
    if (freeMb < kTrayGigabytesFromMb) return std::to_wstring(freeMb);
    return std::to_wstring(freeMb / 1024) + L"G";
}

int TrayTextFitHeight(int height, int maxWidth, const std::function<int(int)>& widthAt) {
    for (int h = height; h > 1; --h) {
        if (widthAt(h) <= maxWidth) return h;
    }
    return 1;
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
