#include "graph_dib.h"

#include <cstdlib>
#include <cstring>

#include "../Vexlo.h"
#include "graph_manage.h"
#include "graph_restore.h"

namespace {

int DibStride(int width) { return (width * 3 + 3) / 4 * 4; }

// A header followed by room for three bit-field masks.
struct DibHeader {
    BITMAPINFOHEADER header;
    DWORD masks[3];
};

void FillTopDownHeader(BITMAPINFOHEADER *header, int width, int height, int bits)
{
    std::memset(header, 0, sizeof *header);
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biWidth = width;
    header->biHeight = -height;
    header->biPlanes = 1;
    header->biBitCount = static_cast<WORD>(bits);
    header->biCompression = BI_RGB;
}

} // namespace

int GraphImageToDib(const GraphImage *image, BITMAPINFO *info, void **bits, int forceCopy)
{
    std::memset(info, 0, sizeof *info);
    FillTopDownHeader(&info->bmiHeader, image->width, image->height, 24);
    int stride = DibStride(image->width);
    bool isBgr24 = SameLayout(&image->colorData, &Bgr24Layout());
    if (isBgr24 && forceCopy != 1 && image->pitch == stride) {
        *bits = image->pixels;
        return 0;
    }
    size_t size = static_cast<size_t>(stride) * static_cast<size_t>(image->height);
    auto *copy = static_cast<uint8_t *>(std::calloc(size ? size : 1, 1));
    if (!copy) return -1;
    if (isBgr24) {
        size_t rowBytes = static_cast<size_t>(image->width) * 3;
        for (int y = 0; y < image->height; ++y)
            std::memcpy(copy + static_cast<size_t>(y) * stride,
                        static_cast<const uint8_t *>(image->pixels) + static_cast<ptrdiff_t>(y) * image->pitch, rowBytes);
    } else {
        ImageRect all = {0, 0, image->width, image->height};
        ConvertPixels(copy, stride, &Bgr24Layout(), image->pixels, image->pitch, &image->colorData, nullptr, 0, nullptr,
                      0, 0, &all, 0, 0, 0);
    }
    *bits = copy;
    return 1;
}

HBITMAP DibToBitmap(const BITMAPINFO *info, const void *bits, ColorData *want)
{
    int width = info->bmiHeader.biWidth;
    int height = info->bmiHeader.biHeight < 0 ? -info->bmiHeader.biHeight : info->bmiHeader.biHeight;
    bool sourceIs24 = info->bmiHeader.biBitCount == 24;
    int depth = want ? want->bitDepth : 24;
    if (depth == 32 && sourceIs24) {
        depth = 24;
        *want = Bgr24Layout();
    }
    auto *header = static_cast<DibHeader *>(std::calloc(1, sizeof(DibHeader)));
    if (!header) {
        AddAppLog("メモリの確保に失敗しました in CreateDIBGraph \n");
        return nullptr;
    }
    FillTopDownHeader(&header->header, width, height, depth);
    if (want && (depth == 16 || (depth > 24 && !sourceIs24))) {
        header->header.biCompression = BI_BITFIELDS;
        header->masks[0] = want->redMask;
        header->masks[1] = want->greenMask;
        header->masks[2] = want->blueMask;
    }
    void *sectionBits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO *>(header), DIB_RGB_COLORS, &sectionBits,
                                      nullptr, 0);
    std::free(header);
    if (!bitmap) {
        ReleaseDC(nullptr, screen);
        AddAppLog("ＤＩＢの作成に失敗しました3\n");
        return nullptr;
    }
    if (!sectionBits) ExitWithError("ＤＩＢの作成に失敗しました2\n");
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(width), static_cast<DWORD>(height), 0, 0, 0,
                      static_cast<UINT>(height), bits, info, DIB_RGB_COLORS);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

int LoadGraphImageAsDib(const char *fileName, BITMAPINFO **info, void **bits)
{
    GraphImage image;
    if (LoadGraphImage(FileImageOpener(), fileName, nullptr, 0, 0, 0, &image) != 0) return -1;
    *info = static_cast<BITMAPINFO *>(std::calloc(1, sizeof(BITMAPINFO)));
    int copied = *info ? GraphImageToDib(&image, *info, bits, 1) : -1;
    ReleaseGraphImage(&image);
    if (copied == 1) return 0;
    std::free(*info);
    *info = nullptr;
    return -1;
}

HBITMAP CreateDIBGraph(const char *fileName)
{
    BITMAPINFO *info = nullptr;
    void *bits = nullptr;
    if (!fileName || LoadGraphImageAsDib(fileName, &info, &bits) != 0) return nullptr;
    HBITMAP bitmap = DibToBitmap(info, bits, nullptr);
    std::free(info);
    std::free(bits);
    return bitmap;
}
