// Draws the tray picture with the program's own drawing code for a few
// figures at each taskbar size, makes the icon from it as the tick does, and
// writes the icon as the tray gets it, one PPM file per picture, into the
// folder given as the first argument ("<figure>-<size>px.ppm").
// scripts/tray-pictures.sh runs it under Wine and enlarges the files into
// the PNG pictures under docs/tray/.
#include <windows.h>

#include <cstdio>
#include <string>

#include "monitor/TrayPicture.h"
#include "widgets/Graphics.h"

namespace {

struct Figure {
    const char* name;
    std::int64_t freeMb;
    std::int32_t percent;
    int cleanPercent = monitor::kTrayNoClean;
};

// The figures a user meets: one, three and four digits, the last megabyte
// figure before gigabytes, gigabytes up to the last before terabytes, and
// terabytes; 1,234 MB with 15 % free (the red bar of low memory), and 594 MB
// while a clean is 40 % through.
const Figure kFigures[] = {{"7MB", 7, 60},     {"594MB", 594, 60},        {"1234MB", 1234, 15},
                           {"9999MB", 9999, 41}, {"23G", 23730, 96},      {"999G", 999 * 1024, 70},
                           {"1T", 1024 * 1024, 50}, {"cleaning", 594, 60, 40}};
const int kSizes[] = {16, 20, 24, 32};

bool WritePpm(const std::string& path, widgets::TBitmap& bitmap) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    std::fprintf(f, "P6\n%d %d\n255\n", bitmap.Width(), bitmap.Height());
    const std::uint32_t* pixels = bitmap.Bits();
    for (int i = 0; i < bitmap.Width() * bitmap.Height(); ++i) {
        const unsigned char rgb[3] = {static_cast<unsigned char>(pixels[i] >> 16),
                                      static_cast<unsigned char>(pixels[i] >> 8),
                                      static_cast<unsigned char>(pixels[i])};
        std::fwrite(rgb, 1, 3, f);
    }
    return std::fclose(f) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: tray_pictures <output folder>\n");
        return 2;
    }
    const std::string folder = argv[1];
    monitor::TrayIconMaker maker;
    for (const Figure& figure : kFigures) {
        for (const int size : kSizes) {
            widgets::TBitmap picture(size, size);
            monitor::DrawTrayImage(picture, figure.percent, figure.freeMb, figure.cleanPercent);
            const platform::UniqueIcon icon = maker.Make(picture, size, size);
            // The icon as the tray draws it, over a magenta that would show
            // through any pixel the mask left transparent.
            widgets::TBitmap shown(size, size);
            shown.Canvas().SetBrushColor(RGB(255, 0, 255));
            shown.Canvas().FillRect(RECT{0, 0, size, size});
            if (!icon || !::DrawIconEx(shown.Dc(), 0, 0, icon.get(), size, size, 0, nullptr, DI_NORMAL)) return 1;
            const std::string path = folder + "\\" + figure.name + "-" + std::to_string(size) + "px.ppm";
            if (!WritePpm(path, shown)) {
                std::fprintf(stderr, "cannot write %s\n", path.c_str());
                return 1;
            }
        }
    }
    return 0;
}
