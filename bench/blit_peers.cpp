// Software blits against the peers a game programmer would otherwise pick:
// SDL2's software blitter and pixman, on identical surfaces in the same run,
// with a memcpy of the same rectangles as the roofline. Every benchmark is
// named operation/scene/implementation and counts destination pixels as its
// items; scripts/bench.sh turns the results into the table.
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "soft/blit_clip.h"
#include "soft/blit_loops.h"

namespace {

const int kScreenW = 640, kScreenH = 480;

// ---- Surfaces ------------------------------------------------------------------------

struct Buffer {
    int width, height, bytes, pitch;
    std::vector<uint8_t> memory;
    Buffer(int w, int h, int b) : width(w), height(h), bytes(b), pitch(w * b), memory(size_t(w) * h * b + 64) {}
    uint8_t *Data() { return memory.data(); }
    uint8_t *At(int x, int y) { return memory.data() + ptrdiff_t(y) * pitch + x * bytes; }
};

uint32_t NextRandom(uint32_t &state)
{
    state = state * 1664525u + 1013904223u;
    return state ^ (state >> 13);
}

// A sprite: a disc of random colours on a key-coloured (black) background,
// its edge two pixels of partial alpha, alpha 0 outside.
struct Sprite {
    int size;
    std::vector<uint32_t> argb;   // 0xAARRGGBB, black where keyed
    std::vector<uint8_t> alpha;
};

Sprite MakeSprite(int size)
{
    Sprite s{size, std::vector<uint32_t>(size_t(size) * size), std::vector<uint8_t>(size_t(size) * size)};
    uint32_t seed = 12345;
    double r = size * 0.48, c = (size - 1) / 2.0;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            double dx = x - c, dy = y - c, d = std::sqrt(dx * dx + dy * dy);
            uint32_t colour = (NextRandom(seed) & 0xFFFFFF) | 0x010101; // never black
            int a = d <= r - 2 ? 255 : (d >= r ? 0 : int((r - d) * 127.5));
            s.alpha[size_t(y) * size + x] = uint8_t(a);
            s.argb[size_t(y) * size + x] = a == 0 ? 0 : (uint32_t(a) << 24 | colour);
        }
    }
    return s;
}

uint32_t To565(uint32_t c) { return ((c >> 8) & 0xF800) | ((c >> 5) & 0x7E0) | ((c >> 3) & 0x1F); }

// The sprite in a screen layout (key colour 0 where transparent).
Buffer SpriteIn(const Sprite &s, int bytes)
{
    Buffer b(s.size, s.size, bytes);
    for (int y = 0; y < s.size; ++y) {
        for (int x = 0; x < s.size; ++x) {
            uint32_t c = s.argb[size_t(y) * s.size + x] & 0xFFFFFF;
            if (bytes == 4) std::memcpy(b.At(x, y), &c, 4);
            else {
                uint16_t v = uint16_t(To565(c));
                std::memcpy(b.At(x, y), &v, 2);
            }
        }
    }
    return b;
}

Buffer ArgbSprite(const Sprite &s)
{
    Buffer b(s.size, s.size, 4);
    std::memcpy(b.Data(), s.argb.data(), s.argb.size() * 4);
    return b;
}

Buffer Screen(int bytes)
{
    Buffer b(kScreenW, kScreenH, bytes);
    uint32_t seed = 777;
    for (auto &v : b.memory) v = uint8_t(NextRandom(seed));
    return b;
}

// ---- Scenes ------------------------------------------------------------------------------

struct Placement {
    int x, y, w, h; // destination rectangle (already inside the screen)
};

struct Scene {
    const char *name;
    int spriteSize, count;
};
const Scene kScenes[] = {{"256x256", 256, 1}, {"100x64x64", 64, 100}};

// Where the sprites land at a scale; rectangles are kept inside the screen
// so that every implementation draws the same pixels.
std::vector<Placement> Place(const Scene &scene, double scale)
{
    int w = int(scene.spriteSize * scale), h = w;
    std::vector<Placement> out;
    for (int i = 0; i < scene.count; ++i) {
        int x = scene.count == 1 ? 0 : (i * 53) % std::max(1, kScreenW - w);
        int y = scene.count == 1 ? 0 : (i * 37) % std::max(1, kScreenH - h);
        out.push_back({x, y, std::min(w, kScreenW - x), std::min(h, kScreenH - y)});
    }
    return out;
}

int64_t PixelsOf(const std::vector<Placement> &places)
{
    int64_t n = 0;
    for (const Placement &p : places) n += int64_t(p.w) * p.h;
    return n;
}

// ---- Operations --------------------------------------------------------------------------

enum class Op { KeyCopy, Alpha, Add, Mul, PixelAlpha, Scale, SubBox };

struct Case {
    std::string name;
    Op op;
    int bytes;        // destination depth in bytes
    int parameter;
    double scale;
};

ColorData LayoutOf(int bytes)
{
    ColorData c{};
    if (bytes == 4) SetColorDataFromMasks(&c, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    else SetColorDataFromMasks(&c, 16, 0xF800, 0x7E0, 0x1F, 0);
    return c;
}

// Shared set-up of one benchmark: the screen, the sprite in every form.
struct Fixture {
    Case c;
    Scene scene;
    Sprite sprite;
    Buffer screen, spriteScreen, spriteArgb;
    std::vector<Placement> places;
    Fixture(const Case &cs, const Scene &sc)
        : c(cs), scene(sc), sprite(MakeSprite(sc.spriteSize)), screen(Screen(cs.bytes)),
          spriteScreen(SpriteIn(sprite, cs.bytes)), spriteArgb(ArgbSprite(sprite)),
          places(Place(sc, cs.op == Op::Scale ? cs.scale : 1.0))
    {
    }
};

int ModeOf(Op op)
{
    switch (op) {
    case Op::Alpha: return BLEND_ALPHA;
    case Op::Add: return BLEND_ADD;
    case Op::Mul: return BLEND_MUL;
    case Op::SubBox: return BLEND_SUB;
    default: return BLEND_NONE;
    }
}

void RunVexlo(Fixture &f)
{
    ColorData layout = LayoutOf(f.c.bytes);
    const PixelRect area = {0, 0, kScreenW, kScreenH};
    BlendSettings s = {ModeOf(f.c.op), f.c.op == Op::Add || f.c.op == Op::Alpha ? f.c.parameter : 255, -1,
                       f.c.op == Op::KeyCopy || f.c.op == Op::Alpha || f.c.op == Op::Add, 0};
    for (const Placement &p : f.places) {
        BlitBuffers b{f.screen.At(p.x, p.y), f.screen.pitch, f.screen.At(p.x, p.y), f.screen.pitch,
                      f.spriteScreen.Data(), f.spriteScreen.pitch, nullptr, 0};
        if (f.c.op == Op::SubBox) {
            RunFillBox(layout, b, p.w, p.h, f.c.bytes == 4 ? 0xFFFFFFFFu : 0xFFFFu, BLEND_SUB, 255);
        } else if (f.c.op == Op::Scale) {
            ScaledPlan plan;
            int size = f.scene.spriteSize, w = int(size * f.c.scale);
            PlanScaledBlit(p.x, p.y, p.x + w, p.y + w, size, size, area, &plan);
            b.src = f.spriteScreen.At(plan.srcStartX, plan.srcStartY);
            ScaledSteps steps = {plan.stepX, plan.stepY, plan.fracX, plan.fracY, false, false};
            RunScaledBlit(layout, b, plan.width, plan.height, steps, {BLEND_NONE, 0, -1, false, 0});
        } else {
            if (f.c.op == Op::PixelAlpha) {
                b.alpha = f.sprite.alpha.data();
                b.alphaPitch = f.scene.spriteSize;
            }
            RunUnscaledBlit(layout, b, p.w, p.h, s);
        }
    }
}

void RunMemcpy(Fixture &f)
{
    for (const Placement &p : f.places)
        for (int y = 0; y < p.h; ++y)
            std::memcpy(f.screen.At(p.x, p.y + y), f.spriteScreen.At(0, y % f.spriteScreen.height),
                        size_t(p.w) * f.c.bytes);
}

// ---- SDL2 --------------------------------------------------------------------------------

struct SdlSurfaces {
    SDL_Surface *dst = nullptr, *src = nullptr;
    ~SdlSurfaces()
    {
        SDL_FreeSurface(src);
        SDL_FreeSurface(dst);
    }
};

Uint32 SdlFormat(int bytes) { return bytes == 4 ? SDL_PIXELFORMAT_RGB888 : SDL_PIXELFORMAT_RGB565; }

// Returns false when SDL has no such operation.
bool SetUpSdl(Fixture &f, SdlSurfaces &s, bool rle)
{
    s.dst = SDL_CreateRGBSurfaceWithFormatFrom(f.screen.Data(), kScreenW, kScreenH, f.c.bytes * 8, f.screen.pitch,
                                               SdlFormat(f.c.bytes));
    bool argb = f.c.op == Op::PixelAlpha;
    Buffer &src = argb ? f.spriteArgb : f.spriteScreen;
    s.src = SDL_CreateRGBSurfaceWithFormatFrom(src.Data(), src.width, src.height, src.bytes * 8, src.pitch,
                                               argb ? Uint32(SDL_PIXELFORMAT_ARGB8888) : SdlFormat(f.c.bytes));
    switch (f.c.op) {
    case Op::KeyCopy:
        SDL_SetColorKey(s.src, SDL_TRUE, 0);
        SDL_SetSurfaceBlendMode(s.src, SDL_BLENDMODE_NONE);
        if (rle) SDL_SetSurfaceRLE(s.src, 1);
        break;
    case Op::Alpha:
        SDL_SetSurfaceBlendMode(s.src, SDL_BLENDMODE_BLEND);
        SDL_SetSurfaceAlphaMod(s.src, Uint8(f.c.parameter));
        break;
    case Op::Add:
        SDL_SetSurfaceBlendMode(s.src, SDL_BLENDMODE_ADD);
        SDL_SetSurfaceAlphaMod(s.src, Uint8(f.c.parameter));
        break;
    case Op::Mul: SDL_SetSurfaceBlendMode(s.src, SDL_BLENDMODE_MOD); break;
    case Op::PixelAlpha: SDL_SetSurfaceBlendMode(s.src, SDL_BLENDMODE_BLEND); break;
    case Op::Scale: SDL_SetSurfaceBlendMode(s.src, SDL_BLENDMODE_NONE); break;
    case Op::SubBox: return false;
    }
    return s.dst && s.src;
}

void RunSdl(Fixture &f, SdlSurfaces &s)
{
    for (const Placement &p : f.places) {
        if (f.c.op == Op::Scale) {
            int w = int(f.scene.spriteSize * f.c.scale);
            SDL_Rect d = {p.x, p.y, w, w};
            SDL_BlitScaled(s.src, nullptr, s.dst, &d);
        } else {
            SDL_Rect d = {p.x, p.y, 0, 0};
            SDL_BlitSurface(s.src, nullptr, s.dst, &d);
        }
    }
}

// ---- pixman -------------------------------------------------------------------------------

struct PixmanImages {
    pixman_image_t *dst = nullptr, *src = nullptr, *mask = nullptr;
    pixman_op_t op = PIXMAN_OP_SRC;
    ~PixmanImages()
    {
        if (mask) pixman_image_unref(mask);
        if (src) pixman_image_unref(src);
        if (dst) pixman_image_unref(dst);
    }
};

bool SetUpPixman(Fixture &f, PixmanImages &p)
{
    pixman_format_code_t screen = f.c.bytes == 4 ? PIXMAN_x8r8g8b8 : PIXMAN_r5g6b5;
    p.dst = pixman_image_create_bits(screen, kScreenW, kScreenH, reinterpret_cast<uint32_t *>(f.screen.Data()),
                                     f.screen.pitch);
    bool argb = f.c.op == Op::PixelAlpha;
    Buffer &src = argb ? f.spriteArgb : f.spriteScreen;
    p.src = pixman_image_create_bits(argb ? PIXMAN_a8r8g8b8 : screen, src.width, src.height,
                                     reinterpret_cast<uint32_t *>(src.Data()), src.pitch);
    pixman_color_t weight = {0, 0, 0, uint16_t(f.c.parameter * 257)};
    switch (f.c.op) {
    case Op::KeyCopy: return false; // no colour key in pixman
    case Op::Alpha:
        p.op = PIXMAN_OP_OVER;
        p.mask = pixman_image_create_solid_fill(&weight);
        break;
    case Op::Add:
        p.op = PIXMAN_OP_ADD;
        p.mask = pixman_image_create_solid_fill(&weight);
        break;
    case Op::Mul: p.op = PIXMAN_OP_MULTIPLY; break;
    case Op::PixelAlpha: p.op = PIXMAN_OP_OVER; break;
    case Op::Scale: {
        p.op = PIXMAN_OP_SRC;
        pixman_transform_t t;
        pixman_fixed_t inverse = pixman_double_to_fixed(1.0 / f.c.scale);
        pixman_transform_init_scale(&t, inverse, inverse);
        pixman_image_set_transform(p.src, &t);
        pixman_image_set_filter(p.src, PIXMAN_FILTER_NEAREST, nullptr, 0);
        break;
    }
    case Op::SubBox: return false;
    }
    return p.dst && p.src;
}

void RunPixman(Fixture &f, PixmanImages &p)
{
    for (const Placement &pl : f.places)
        pixman_image_composite32(p.op, p.src, p.mask, p.dst, 0, 0, 0, 0, pl.x, pl.y, pl.w, pl.h);
}

// ---- Registration ----------------------------------------------------------------------------

void Register(const Case &c, const Scene &scene, const char *impl)
{
    std::string name = c.name + "/" + scene.name + "/" + impl;
    std::string which = impl;
    benchmark::RegisterBenchmark(name.c_str(), [c, scene, which](benchmark::State &state) {
        Fixture f(c, scene);
        std::function<void()> body;
        SdlSurfaces sdl;
        PixmanImages pixman;
        if (which == "vexlo") body = [&] { RunVexlo(f); };
        else if (which == "memcpy") body = [&] { RunMemcpy(f); };
        else if (which == "sdl2" || which == "sdl2-rle") {
            if (!SetUpSdl(f, sdl, which == "sdl2-rle")) {
                state.SkipWithError("not offered");
                return;
            }
            body = [&] { RunSdl(f, sdl); };
        } else {
            if (!SetUpPixman(f, pixman)) {
                state.SkipWithError("not offered");
                return;
            }
            body = [&] { RunPixman(f, pixman); };
        }
        body(); // warm-up (SDL encodes its run lengths on the first blit)
        for (auto _ : state) {
            body();
            benchmark::ClobberMemory();
        }
        state.SetItemsProcessed(state.iterations() * PixelsOf(f.places));
    });
}

} // namespace

int main(int argc, char **argv)
{
    const Case cases[] = {
        {"keyed copy 32", Op::KeyCopy, 4, 0, 1},      {"keyed copy 16", Op::KeyCopy, 2, 0, 1},
        {"alpha 128 32", Op::Alpha, 4, 128, 1},       {"alpha 128 16", Op::Alpha, 2, 128, 1},
        {"alpha 100 32", Op::Alpha, 4, 100, 1},       {"alpha 100 16", Op::Alpha, 2, 100, 1},
        {"add 128 32", Op::Add, 4, 128, 1},           {"add 128 16", Op::Add, 2, 128, 1},
        {"multiply 32", Op::Mul, 4, 0, 1},            {"multiply 16", Op::Mul, 2, 0, 1},
        {"pixel alpha onto 32", Op::PixelAlpha, 4, 0, 1}, {"pixel alpha onto 565", Op::PixelAlpha, 2, 0, 1},
        {"scale 2 32", Op::Scale, 4, 0, 2.0},         {"scale 1.5 32", Op::Scale, 4, 0, 1.5},
        {"subtract box 32", Op::SubBox, 4, 255, 1},   {"subtract box 16", Op::SubBox, 2, 255, 1},
    };
    for (const Case &c : cases) {
        for (const Scene &scene : kScenes) {
            Register(c, scene, "vexlo");
            if (c.op == Op::KeyCopy) Register(c, scene, "sdl2-rle");
            if (c.op != Op::SubBox) {
                Register(c, scene, "sdl2");
                Register(c, scene, "pixman");
            }
            Register(c, scene, "memcpy");
        }
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
