// The graph table, the surface-data and BMP-data tables over stand-in
// surfaces, and the filling of one piece from decoded images.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "graph/graph_table.h"
#include "graph/handle_table.h"
#include "graph/piece_fill.h"
#include "graph/surface_tables.h"

namespace {

// ---- Graph table ----------------------------------------------------------------

class GraphTable : public ::testing::Test {
protected:
    void SetUp() override { Empty(); }
    void TearDown() override { Empty(); }
    static void Empty()
    {
        for (int i = GetGraphHighWater() - 1; i >= 0; --i) FreeGraphSlot(GetGraphHandleAt(i));
        ResetGraphTable();
    }
    static int Add(int width = 8, int height = 4, int alpha = 0, GraphSlot **slot = nullptr)
    {
        return AddGraphSlot(width, height, 0, alpha, settings_, 16, slot);
    }
    static GraphCreationSettings settings_;
};
GraphCreationSettings GraphTable::settings_ = {0, 1, 0, 0, 1, 0, 0};

TEST_F(GraphTable, FirstHandlesAndSlotFields)
{
    GraphSlot *slot = nullptr;
    EXPECT_EQ(0x08000000, Add(50, 40, 0, &slot));
    ASSERT_NE(nullptr, slot);
    EXPECT_EQ(50, slot->width);
    EXPECT_EQ(40, slot->height);
    EXPECT_EQ(-1, slot->movie);
    EXPECT_EQ(16, slot->colourBitDepth); // the screen's depth
    EXPECT_EQ(1, slot->alphaTest);
    EXPECT_EQ(0x08010001, Add(1, 1, 1, &slot));
    EXPECT_EQ(32, slot->colourBitDepth); // alpha graphs are 32-bit
    EXPECT_EQ(slot, GetGraphSlot(0x08010001));
    EXPECT_EQ(0x08010001, GetGraphHandleOfSlot(slot));
    EXPECT_EQ(2, GetGraphsInUse());
}

TEST_F(GraphTable, ColourDepthSettingWinsAndFlagsFollowTheSettings)
{
    GraphCreationSettings s = {24, 1, 1, 0, 0, 1, 0};
    GraphSlot *slot = nullptr;
    AddGraphSlot(2, 2, 1, 1, s, 16, &slot);
    uint8_t flags[6];
    GetGraphPieceFlags(slot, flags);
    const uint8_t expected[6] = {1, 1, 1, 1, 0, 24};
    EXPECT_EQ(0, std::memcmp(expected, flags, sizeof flags));
}

TEST_F(GraphTable, StaleAndForeignHandlesAreRefusedAndFreeingSetsTheFlag)
{
    int first = Add();
    int second = Add();
    int flag = 0;
    GetGraphSlot(first)->deletedFlag = &flag;
    EXPECT_EQ(0, FreeGraphSlot(first));
    EXPECT_EQ(1, flag);
    const int refused[] = {first, MakeHandle(HANDLE_KIND_FONT, 1, 1), MakeHandle(HANDLE_KIND_BMP_DATA, 1, 1),
                           second + (1 << 16), -1, -4};
    for (int handle : refused) {
        EXPECT_EQ(nullptr, GetGraphSlot(handle)) << std::hex << handle;
        EXPECT_EQ(-1, FreeGraphSlot(handle)) << std::hex << handle;
    }
    EXPECT_EQ(1, GetGraphsInUse());
    EXPECT_NE(nullptr, GetGraphSlot(second));
}

TEST_F(GraphTable, CheckNumbersWrapAfter2048Creations)
{
    int first = Add();
    FreeGraphSlot(first);
    int last = -1;
    for (int i = 1; i < HANDLE_CHECK_LIMIT; ++i) {
        last = Add();
        FreeGraphSlot(last);
    }
    EXPECT_EQ(MakeHandle(HANDLE_KIND_GRAPH, 2047, 0), last);
    EXPECT_EQ(first, Add()); // index 0, check 0 again
}

TEST_F(GraphTable, HighWaterMarkFallsPastFreeTopSlots)
{
    int h[4];
    for (int &handle : h) handle = Add();
    FreeGraphSlot(h[1]);
    EXPECT_EQ(4, GetGraphHighWater()); // a middle slot leaves the mark alone
    FreeGraphSlot(h[2]);
    FreeGraphSlot(h[3]);
    EXPECT_EQ(1, GetGraphHighWater());
    EXPECT_EQ(1, HandleIndexOf(Add()));
    FreeGraphSlot(h[0]);
    EXPECT_EQ(2, GetGraphHighWater());
}

TEST_F(GraphTable, AFullTableRefusesTheNextGraphUntilASlotIsFree)
{
    int middle = -1;
    for (int i = 0; i < GRAPH_TABLE_CAPACITY; ++i) {
        int handle = Add();
        ASSERT_GE(handle, 0) << i;
        if (i == 1234) middle = handle;
    }
    EXPECT_EQ(GRAPH_TABLE_FULL, Add());
    FreeGraphSlot(middle);
    EXPECT_EQ(1234, HandleIndexOf(Add())); // the mark is at the capacity: the free slot is found
}

TEST_F(GraphTable, SourceNamesThatDoNotFitAreNotRecorded)
{
    GraphSlot *slot = nullptr;
    Add(1, 1, 0, &slot);
    EXPECT_EQ(0, SetGraphSource(slot, "Player.png", "C:\\game"));
    EXPECT_STREQ("Player.png", slot->fileName);
    EXPECT_STREQ("C:\\game", slot->directory);
    std::string longName(GRAPH_FILE_NAME_SIZE, 'a');
    EXPECT_EQ(-1, SetGraphSource(slot, longName.c_str(), "C:\\game"));
    EXPECT_STREQ("", slot->fileName);
    EXPECT_STREQ("", slot->directory);
    std::string longDirectory(GRAPH_DIRECTORY_SIZE, 'd');
    EXPECT_EQ(-1, SetGraphSource(slot, "a.png", longDirectory.c_str()));
    EXPECT_STREQ("", slot->fileName);
}

// ---- Surface-data and BMP-data tables ---------------------------------------------

struct FakeSurfaces {
    static int made, released, keyed;
    static bool fail;
    static int Create(SurfaceData *entry)
    {
        if (fail) return -1;
        ++made;
        entry->surface = reinterpret_cast<IDirectDrawSurface7 *>(entry); // any non-null marker
        return 0;
    }
    static void Release(SurfaceData *entry)
    {
        if (entry->surface) ++released;
        entry->surface = nullptr;
    }
    static int Key(SurfaceData *) { return ++keyed, 0; }
};
int FakeSurfaces::made, FakeSurfaces::released, FakeSurfaces::keyed;
bool FakeSurfaces::fail;

class SurfaceTables : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetSurfaceHooks({FakeSurfaces::Create, FakeSurfaces::Release, FakeSurfaces::Key});
        RemoveAllBmpData();
        FakeSurfaces::made = FakeSurfaces::released = FakeSurfaces::keyed = 0;
        FakeSurfaces::fail = false;
    }
    void TearDown() override { RemoveAllBmpData(); }
    const uint8_t flags_[6] = {0, 1, 0, 0, 1, 16};
};

TEST_F(SurfaceTables, PiecesSharingASurfaceKeepItUntilTheLastGoes)
{
    int first = NewBmpData(16, 8, 0, 0, 0x08000000, nullptr, 0, 0, flags_, 0xFF00FF);
    ASSERT_EQ(MakeHandle(HANDLE_KIND_BMP_DATA, 0, 0), first);
    const BmpData *piece = GetBmpData(first);
    int surface = piece->surfaceData;
    EXPECT_EQ(MakeHandle(HANDLE_KIND_SURFACE_DATA, 0, 0), surface);
    EXPECT_EQ(0xFF00FFu, GetSurfaceData(surface)->colourKey);
    EXPECT_EQ(1, FakeSurfaces::keyed);
    int second = NewBmpData(8, 8, 16, 0, 0x08000000, piece, 8, 0, flags_, 0);
    ASSERT_GE(second, 0);
    EXPECT_EQ(surface, GetBmpData(second)->surfaceData);
    EXPECT_EQ(2, GetSurfaceData(surface)->refCount);
    EXPECT_EQ(1, FakeSurfaces::made);

    int flag = 0;
    GetSurfaceData(surface)->deletedFlag = &flag;
    EXPECT_EQ(0, RemoveBmpData(first));
    EXPECT_NE(nullptr, GetSurfaceData(surface));
    EXPECT_EQ(0, FakeSurfaces::released);
    EXPECT_EQ(0, RemoveBmpData(second));
    EXPECT_EQ(nullptr, GetSurfaceData(surface));
    EXPECT_EQ(1, FakeSurfaces::released);
    EXPECT_EQ(1, flag);
    EXPECT_EQ(0, RemoveBmpData(second)); // invalid: no effect, still 0
}

TEST_F(SurfaceTables, AFailedSurfaceLeavesBothTablesEmpty)
{
    FakeSurfaces::fail = true;
    EXPECT_EQ(-1, NewBmpData(4, 4, 0, 0, 0, nullptr, 0, 0, flags_, 0));
    EXPECT_EQ(0, GetBmpDataInUse());
    EXPECT_EQ(0, GetSurfaceDataInUse());
    EXPECT_EQ(-1, AddSurfaceDataRef(MakeHandle(HANDLE_KIND_SURFACE_DATA, 0, 0)));
}

TEST_F(SurfaceTables, SurfaceDataTableRefusesEntriesPastIndex0xFFFE)
{
    int last = -1;
    for (int i = 0; i < SURFACE_DATA_CAPACITY; ++i) last = NewSurfaceData(1, 1, 1, 0, flags_);
    EXPECT_EQ(0xFFFE, HandleIndexOf(last));
    EXPECT_EQ(SURFACE_TABLE_FULL, NewSurfaceData(1, 1, 1, 0, flags_));
    EXPECT_EQ(SURFACE_TABLE_FULL, NewBmpData(1, 1, 0, 0, 0, nullptr, 0, 0, flags_, 0));
    EXPECT_EQ(0, GetBmpDataInUse());
    RemoveAllBmpData();
    EXPECT_EQ(0, GetSurfaceDataInUse());
    EXPECT_EQ(SURFACE_DATA_CAPACITY, FakeSurfaces::released);
}

// ---- Filling a piece -------------------------------------------------------------------

ColorData Layout565()
{
    ColorData c;
    SetColorDataFromMasks(&c, 16, 0xF800, 0x07E0, 0x001F, 0);
    return c;
}

uint16_t Pack565(int r, int g, int b) { return static_cast<uint16_t>((r >> 3) << 11 | (g >> 2) << 5 | (b >> 3)); }

struct TestImage {
    GraphImage image{};
    TestImage(const ColorData &layout, int width, int height)
    {
        AllocateGraphImage(&image, &layout, width, height, width * layout.bytesPerPixel);
    }
    ~TestImage() { ReleaseGraphImage(&image); }
    uint8_t *Pixel(int x, int y)
    {
        return static_cast<uint8_t *>(image.pixels) + y * image.pitch + x * image.colorData.bytesPerPixel;
    }
};

struct Target {
    ColorData layout = Layout565();
    std::vector<uint16_t> pixels;
    std::vector<uint8_t> alpha;
    int width, height;
    Target(int w, int h, bool withAlpha) : pixels(static_cast<size_t>(w * h), 0xBEEF), width(w), height(h)
    {
        if (withAlpha) alpha.assign(static_cast<size_t>(w * h), 7);
    }
    PieceTarget View()
    {
        return {pixels.data(), width * 2, &layout, alpha.empty() ? nullptr : alpha.data(), width, width, height};
    }
};

int ChannelAt(int x, int y, int salt) { return (x * 37 + y * 91 + salt * 53) & 0xFF; }

TEST(PieceFill, BgraImageGivesScreenPixelsAndAlphaMemory)
{
    TestImage src(Bgra32Layout(), 6, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) {
            uint8_t *p = src.Pixel(x, y);
            p[0] = static_cast<uint8_t>(ChannelAt(x, y, 0));
            p[1] = static_cast<uint8_t>(ChannelAt(x, y, 1));
            p[2] = static_cast<uint8_t>(ChannelAt(x, y, 2));
            p[3] = static_cast<uint8_t>(ChannelAt(x, y, 3));
        }
    Target t(4, 3, true);
    ASSERT_EQ(0, FillPieceFromImage(t.View(), &src.image, nullptr, 2, 1));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) {
            int sx = x + 2, sy = y + 1;
            EXPECT_EQ(Pack565(ChannelAt(sx, sy, 2), ChannelAt(sx, sy, 1), ChannelAt(sx, sy, 0)),
                      t.pixels[static_cast<size_t>(y * 4 + x)]) << x << "," << y;
            EXPECT_EQ(ChannelAt(sx, sy, 3), t.alpha[static_cast<size_t>(y * 4 + x)]) << x << "," << y;
        }
}

TEST(PieceFill, AlphaComesFromTheCompanionsRedChannelOrIsOpaque)
{
    TestImage src(Bgr24Layout(), 3, 2);
    TestImage companion(Bgr24Layout(), 3, 2);
    std::memset(src.image.pixels, 0xFF, static_cast<size_t>(src.image.pitch * 2));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            uint8_t *p = companion.Pixel(x, y);
            p[0] = 1, p[1] = 2, p[2] = static_cast<uint8_t>(40 * x + 100 * y);
        }
    Target withCompanion(3, 2, true);
    FillPieceFromImage(withCompanion.View(), &src.image, &companion.image, 0, 0);
    EXPECT_EQ((std::vector<uint8_t>{0, 40, 80, 100, 140, 180}), withCompanion.alpha);
    EXPECT_EQ(0xFFFF, withCompanion.pixels[5]);

    Target alone(3, 2, true);
    FillPieceFromImage(alone.View(), &src.image, nullptr, 0, 0);
    EXPECT_EQ(std::vector<uint8_t>(6, 255), alone.alpha);
}

TEST(PieceFill, AnImageSmallerThanThePieceIsCutNotOverread)
{
    TestImage src(Bgr24Layout(), 2, 2);
    std::memset(src.image.pixels, 0, static_cast<size_t>(src.image.pitch * 2));
    Target t(4, 3, false);
    ASSERT_EQ(0, FillPieceFromImage(t.View(), &src.image, nullptr, 1, 1));
    // Only source pixel (1, 1) lies inside: it lands at the piece's (0, 0).
    EXPECT_EQ(0, t.pixels[0]);
    for (size_t i = 1; i < t.pixels.size(); ++i) EXPECT_EQ(0xBEEF, t.pixels[i]) << i;
    EXPECT_EQ(-1, FillPieceFromImage(t.View(), &src.image, nullptr, 5, 0));
}

} // namespace
