// Text benchmark (Windows, run under wine): a line of 40 characters drawn
// from the glyph cache onto the 640x480 16-bit back screen, against GDI's
// TextOutA of the same line in the same face and size onto the device
// context of that same surface. Prints a markdown table: microseconds per
// line, best of several batches, and the ratio.
//
//   text_bench.exe [batches] [lines per batch]
// It runs full screen in 640x480x16, so under wine it belongs in a virtual
// desktop (scripts/text_bench.sh sets that up).
#include <windows.h>
#include <ddraw.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>

#include "Vexlo.h"
#include "display/display.h"
#include "font/string_draw.h"

namespace {

double Now()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Microseconds per line: the best of `batches` batches of `lines` calls.
double BestMicroseconds(int batches, int lines, const std::function<void()> &drawLine)
{
    for (int i = 0; i < lines / 10 + 1; ++i) drawLine(); // warm caches
    double best = 1e30;
    for (int b = 0; b < batches; ++b) {
        double start = Now();
        for (int i = 0; i < lines; ++i) drawLine();
        double perLine = (Now() - start) * 1e6 / lines;
        if (perLine < best) best = perLine;
    }
    return best;
}

// The GDI font the library's default font is made from.
HFONT DefaultFaceFont()
{
    return CreateFontA(16, 0, 0, 0, 600, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, FIXED_PITCH, nullptr);
}

// Pixels not black in rows top..top+20 of the back screen: each path must
// really have drawn its line.
int CountLit(IDirectDrawSurface7 *back, int top)
{
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    if (FAILED(back->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr))) return -1;
    int lit = 0;
    for (int y = top; y < top + 20; ++y) {
        const uint16_t *row = reinterpret_cast<const uint16_t *>(static_cast<uint8_t *>(desc.lpSurface) + y * desc.lPitch);
        for (unsigned x = 0; x < desc.dwWidth; ++x) lit += row[x] != 0;
    }
    back->Unlock(nullptr);
    return lit;
}

struct Row {
    const char *name;
    const char *text;
};

} // namespace

int main(int argc, char **argv)
{
    int batches = argc > 1 ? std::atoi(argv[1]) : 7;
    int lines = argc > 2 ? std::atoi(argv[2]) : 2000;
    SetLogDisabled(1);
    SetScreenMode(640, 480, 16, -1);
    if (InitLibrary() != 0) {
        std::printf("text_bench: InitLibrary failed\n");
        return 1;
    }
    SetDrawScreen(SCREEN_BACK);
    IDirectDrawSurface7 *back = GetBackScreen();
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    back->GetSurfaceDesc(&desc);
    const int depth = static_cast<int>(desc.ddpfPixelFormat.dwRGBBitCount);
    const int font = GetDefaultFontHandle();
    const int white = GetColor(255, 255, 255);
    HFONT gdiFont = DefaultFaceFont();

    const Row rows[] = {
        {"40 full-width characters", "吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ。何でも薄暗い所"},
        {"40 ASCII characters", "The quick brown fox jumps over a lazy do"},
    };
    std::printf("Back screen %ux%u, %d bits per pixel; best of %d batches of %d lines.\n\n",
                static_cast<unsigned>(desc.dwWidth), static_cast<unsigned>(desc.dwHeight), depth, batches, lines);
    std::printf("| line | cached glyphs (us) | GetDC + TextOutA + ReleaseDC (us) | TextOutA, DC held (us) | "
                "cached vs GetDC + TextOutA | cached vs TextOutA alone |\n|---|---:|---:|---:|---:|---:|\n");
    int status = depth == 16 ? 0 : 2;
    for (const Row &row : rows) {
        const int length = static_cast<int>(std::strlen(row.text));
        double cached = BestMicroseconds(batches, lines, [&] { DrawStringToHandle(0, 100, row.text, white, font, 0, 0); });

        HDC dc = nullptr;
        back->GetDC(&dc);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(255, 255, 255));
        HGDIOBJ old = SelectObject(dc, gdiFont);
        double held = BestMicroseconds(batches, lines, [&] { TextOutA(dc, 0, 200, row.text, length); });
        SelectObject(dc, old);
        back->ReleaseDC(dc);

        double each = BestMicroseconds(batches, lines, [&] {
            HDC d = nullptr;
            if (FAILED(back->GetDC(&d))) return;
            SetBkMode(d, TRANSPARENT);
            SetTextColor(d, RGB(255, 255, 255));
            HGDIOBJ o = SelectObject(d, gdiFont);
            TextOutA(d, 0, 300, row.text, length);
            SelectObject(d, o);
            back->ReleaseDC(d);
        });
        std::printf("| %s | %.2f | %.2f | %.2f | %.1fx | %.2fx |\n", row.name, cached, each, held, each / cached,
                    held / cached);
        if (CountLit(back, 100) == 0 || CountLit(back, 200) == 0 || CountLit(back, 300) == 0) {
            std::printf("text_bench: a path drew nothing\n");
            status = 3;
        }
        ClearDrawScreen();
    }
    double lockOnly = BestMicroseconds(batches, lines, [&] {
        DDSURFACEDESC2 d{};
        d.dwSize = sizeof d;
        if (SUCCEEDED(back->Lock(nullptr, &d, DDLOCK_WAIT, nullptr))) back->Unlock(nullptr);
    });
    double measure = BestMicroseconds(batches, lines, [&] {
        FontCacheStringDraw(0, 0, 0, rows[0].text, white, nullptr, font, 0, -1, 0, nullptr);
    });
    std::printf("\nOf the cached path, for the full-width line: walking the string without drawing (measuring) "
                "%.2f us; Lock and Unlock of the back screen alone %.2f us.\n",
                measure, lockOnly);
    DeleteObject(gdiFont);
    EndLibrary();
    if (status != 0) std::printf("\ntext_bench: the back screen is not 16-bit; full screen did not start in 640x480x16\n");
    return status;
}
