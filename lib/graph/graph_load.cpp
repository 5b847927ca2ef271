// Loading graphs from image files and filling graphs from decoded images.
#include "graph_manage.h"

#include <cstdlib>
#include <cstring>

#include "../Vexlo.h"
#include "../core/file_access.h"
#include "../core/message.h"
#include "../display/display.h"
#include "../display/display_needs.h"
#include "graph_dib.h"
#include "piece_fill.h"
#include "surface_data.h"

namespace {

int OpenImageFile(void *, const char *fileName, ImageStream *out)
{
    // The default table reads the file ahead while the decoder works; a
    // program's own table is opened plainly, as it may not know that mode.
    void *file = FileAccessOpen(fileName, IsDefaultFileAccess(), 1);
    if (!file) return -1;
    *out = ImageStream{GetFileStreamFunctions(), file};
    return 0;
}

const ImageOpener kFileOpener = {OpenImageFile, nullptr};

bool FileExists(const char *fileName)
{
    void *file = FileAccessOpen(fileName, 0, 1);
    if (!file) return false;
    FileAccessClose(file);
    return true;
}

void CurrentDirectory(char (&directory)[MAX_PATH + 1])
{
    directory[0] = '\0';
    if (FileAccessGetDir(directory) <= 0) directory[0] = '\0';
    directory[MAX_PATH] = '\0';
}

// 16- and 32-bit screens: the image converted into the locked surface.
int FillPieceDirect(const BmpData *piece, SurfaceData *entry, int surfaceHandle, const GraphImage *image,
                    const GraphImage *alphaImage, int srcX, int srcY)
{
    int pitch = 0;
    void *pixels = nullptr;
    if (LockSurfaceData(surfaceHandle, &pitch, &pixels) == -1) ExitWithError("ＢＭＰサーフェスのロックに失敗しました");
    const ColorData *layout = GetScreenColorDataOfDisplay();
    PieceTarget target;
    target.pixels = static_cast<uint8_t *>(pixels) + static_cast<ptrdiff_t>(piece->yInSurface) * pitch +
                    piece->xInSurface * layout->bytesPerPixel;
    target.pitch = pitch;
    target.layout = layout;
    target.alphaMemory = entry->alphaMemory ? entry->alphaMemory + piece->yInSurface * entry->alphaPitch + piece->xInSurface
                                            : nullptr;
    target.alphaPitch = entry->alphaPitch;
    target.width = piece->width;
    target.height = piece->height;
    FillPieceFromImage(target, image, alphaImage, srcX + piece->xInGraph, srcY + piece->yInGraph);
    UnlockSurfaceData(surfaceHandle);
    return 0;
}

// 8-bit screens: GDI maps the colours to the palette.
int FillPieceThroughGdi(const BmpData *piece, SurfaceData *entry, const GraphImage *image, int srcX, int srcY)
{
    HDC dc = nullptr;
    if (FAILED(entry->surface->GetDC(&dc))) return -1;
    BITMAPINFO info;
    void *bits = nullptr;
    int copied = GraphImageToDib(image, &info, &bits, 0);
    if (copied == -1) ExitWithError("GraphImage を BMP に変換する処理が失敗しました");
    HBITMAP bitmap = DibToBitmap(&info, bits, nullptr);
    if (copied == 1) std::free(bits);
    if (!bitmap) ExitWithError("ＢＭＰデータからＢＭＰハンドルを作成する処理が失敗しました");
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, bitmap);
    BitBlt(dc, piece->xInSurface, piece->yInSurface, piece->width, piece->height, source, srcX + piece->xInGraph,
           srcY + piece->yInGraph, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
    entry->surface->ReleaseDC(dc);
    DeleteObject(bitmap);
    return 0;
}

int FillPiece(int pieceHandle, const GraphImage *image, const GraphImage *alphaImage, int srcX, int srcY)
{
    const BmpData *piece = GetBmpData(pieceHandle);
    SurfaceData *entry = piece ? GetSurfaceData(piece->surfaceData) : nullptr;
    if (!entry || !entry->surface) return -1;
    if (GetScreenBitDepth() == 8) {
        FillPieceThroughGdi(piece, entry, image, srcX, srcY);
    } else {
        FillPieceDirect(piece, entry, piece->surfaceData, image, alphaImage, srcX, srcY);
    }
    SetSurfaceDataColourKey(piece->surfaceData);
    return 0;
}

void RecordGraphSource(int graph, const char *fileName, int mirrored)
{
    GraphSlot *slot = GetGraphSlot(graph);
    if (!slot) return;
    char directory[MAX_PATH + 1];
    CurrentDirectory(directory);
    SetGraphSource(slot, fileName, directory);
    slot->reloadMirror = static_cast<uint8_t>(mirrored);
}

void MirrorImages(GraphImage *image, GraphImage *alphaImage)
{
    MirrorGraphImage(image);
    if (alphaImage && alphaImage->pixels) MirrorGraphImage(alphaImage);
}

} // namespace

const ImageOpener *FileImageOpener() { return &kFileOpener; }

int LoadFileImagePair(const char *fileName, GraphImage *image, GraphImage *alphaImage, int mirror)
{
    return LoadGraphImagePair(&kFileOpener, fileName, nullptr, 0, 0, nullptr, 0, 0, image, alphaImage, mirror);
}

int FillGraph(int graph, const GraphImage *image, const GraphImage *alphaImage, int srcX, int srcY,
              const char *fileName, int reloadMirror)
{
    GraphSlot *slot = GetGraphSlot(graph);
    if (!slot || !image) return -1;
    char directory[MAX_PATH + 1];
    CurrentDirectory(directory);
    SetGraphSource(slot, fileName, directory);
    slot->srcX = static_cast<short>(srcX);
    slot->srcY = static_cast<short>(srcY);
    slot->reloadMirror = static_cast<uint8_t>(reloadMirror);
    if (slot->texture) return -1; // texture pieces: the Direct3D renderer's
    for (int i = 0; i < slot->pieceCount; ++i) FillPiece(slot->pieces[i], image, alphaImage, srcX, srcY);
    return 0;
}

int CreateGraphFromImage(GraphImage *image, GraphImage *alphaImage, int textureWish, int mirror, int mirrorBack)
{
    ComputeSpareMask(&image->colorData);
    if (alphaImage) ComputeSpareMask(&alphaImage->colorData);
    EndScene3D(); // batched Direct3D drawing goes out before surfaces change
    int transColour = GetGraphTransColor();
    bool flip = mirrorBack == 1 && mirror == 1;
    if (flip) MirrorImages(image, alphaImage);
    WaitWhileInactive();
    int graph = -1;
    if (!alphaImage || (alphaImage->width == image->width && alphaImage->height == image->height)) {
        int alpha = image->colorData.alphaWidth != 0 || alphaImage ? 1 : 0;
        graph = CreateGraph(image->width, image->height, textureWish, alpha);
        if (graph != -1) FillGraph(graph, image, alphaImage, 0, 0, nullptr, 0);
    }
    SetGraphTransColor(transColour);
    if (flip) MirrorImages(image, alphaImage);
    return graph;
}

int LoadGraphEx(const char *fileName, int textureWish, int mirror)
{
    if (!IsGraphManagementStarted() || !fileName) return -1;
    EndScene3D();
    WaitWhileInactive();
    GraphImage image, alphaImage;
    int pair = LoadFileImagePair(fileName, &image, &alphaImage, 0);
    if (pair == -1) {
        // Not an image: movies are the only other source of graphs, and
        // this library plays none into graphs yet.
        if (!FileExists(fileName)) return AddAppLogFormat("グラフィックファイル %s がありません", fileName);
        return AddAppLogFormat("右記のグラフィックファイルのロードに失敗しました：%s \n", fileName);
    }
    GraphImage *alpha = pair == 0 ? &alphaImage : nullptr;
    if (mirror == 1) MirrorImages(&image, alpha);
    int graph = CreateGraphFromImage(&image, alpha, textureWish, mirror, 0);
    // The graph remembers its file, so that it can be reloaded when its
    // surface memory is lost.
    if (graph != -1) RecordGraphSource(graph, fileName, mirror == 1);
    ReleaseGraphImage(&image);
    ReleaseGraphImage(&alphaImage);
    return graph;
}

extern "C" int LoadGraph(const char *fileName) { return LoadGraphEx(fileName, 1, 0); }
