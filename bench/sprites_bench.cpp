// Benchmark: the worst-case collision walk of the game's full 47-sprite list, beside a memcpy of
// the mask bytes that walk reads.
#include "dd.h"
#include "dd_log.h"
#include "dd_sprites.h"
#include "kx_bmp.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

enum { SIDE = 48, SPRITES = 47, SHOT = 3 };

class TStillSprite : public TSprite {
public:
    using TSprite::TSprite;
    void Move(int) override {}
};

// A 24-bit BMP checkerboard: magenta on one parity, solid on the other.
bool WriteChecker(const std::string &path, int parity)
{
    std::vector<unsigned char> file = KxBmpFile(SIDE, SIDE);
    size_t rowBytes = KxBmpRowBytes(SIDE, 24);
    for (int y = 0; y < SIDE; y++)
        for (int x = 0; x < SIDE; x++) {
            unsigned char *p = &file[54 + (size_t)y * rowBytes + (size_t)x * 3];
            bool key = ((x + y) & 1) == parity;
            p[0] = key ? 255 : 40; // blue
            p[1] = key ? 0 : 90;   // green
            p[2] = key ? 255 : 30; // red
        }
    return KxSaveBytes(path, file);
}

DDSPRITE_FrameDataType *CheckerRecord(const std::string &image)
{
    DDSPRITE_FrameDataType *r = new DDSPRITE_FrameDataType;
    memset(r, 0, sizeof *r);
    r->SpriteImage = new char[image.size() + 1];
    memcpy(r->SpriteImage, image.c_str(), image.size() + 1);
    r->NFrames = 1;
    r->ImageRect = new RECT[1]{ { 0, 0, SIDE, SIDE } };
    r->HitType = DDSPRITE_COLLIDE_PIXEL;
    r->Handle = DDSPRITE_HANDLE_CENTRE;
    r->Transparent = 0xFF00FF;
    return r;
}

// Every sprite on the same spot with the opposite checkerboard: every box test passes and every
// pixel scan runs its whole overlap without a hit.
struct Scene {
    std::string dir, home;
    DDSPRITE_FrameDataType *shotData = nullptr, *enemyData = nullptr, *hitData = nullptr;
    TSprite *shot = nullptr, *last = nullptr;
    TSpriteDef *enemyDef = nullptr, *hitDef = nullptr;
    bool ok = false;

    Scene()
    {
        char pattern[] = "/tmp/kx_bench_XXXXXX";
        dir = mkdtemp(pattern) ? pattern : "/tmp";
        char *cwd = getcwd(nullptr, 0);
        home = cwd ? cwd : ".";
        free(cwd);
        if (chdir(dir.c_str()) != 0 || !DDInit((HWND)1) || !DDCreateSurfaces(640, 480, 32))
            return;
        if (!WriteChecker(dir + "/a.bmp", 0) || !WriteChecker(dir + "/b.bmp", 1))
            return;
        shotData = CheckerRecord(dir + "/a.bmp");
        enemyData = CheckerRecord(dir + "/b.bmp");
        hitData = CheckerRecord(dir + "/a.bmp");
        TSpriteDef *shotDef = new TSpriteDef(shotData);
        enemyDef = new TSpriteDef(enemyData);
        hitDef = new TSpriteDef(hitData);
        if (!shotDef->Created() || !enemyDef->Created() || !hitDef->Created())
            return;
        DDSPRITE_Initialise(20);
        for (int id = 1; id <= SPRITES; id++) {
            TSprite *s = new TStillSprite(id == SHOT ? shotDef : enemyDef, id);
            s->SetPosition(200, 200);
            s->SetActive(true);
            DDSPRITE_Add(s);
            if (id == SHOT)
                shot = s;
            last = s;
        }
        ok = true;
    }

    ~Scene()
    {
        DDSPRITE_Cleanup();
        DDSPRITE_FreeFrameData(shotData);
        DDSPRITE_FreeFrameData(enemyData);
        DDSPRITE_FreeFrameData(hitData);
        DDClose();
        if (chdir(home.c_str()) != 0)
            perror("chdir");
        std::string cmd = "rm -rf '" + dir + "'";
        if (system(cmd.c_str()) != 0)
            perror("rm");
    }
};

// Bytes the walk reads: both masks over the whole overlap, for each of the 46 others.
const size_t WalkBytes = (size_t)(SPRITES - 1) * SIDE * SIDE * 2;

double MemcpyNanoseconds()
{
    std::vector<unsigned char> from(WalkBytes, 1), to(WalkBytes);
    const int rounds = 2000;
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < rounds; i++) {
        memcpy(to.data(), from.data(), WalkBytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    std::chrono::duration<double, std::nano> took = std::chrono::steady_clock::now() - start;
    return took.count() / rounds;
}

void BM_CollisionWalk47(benchmark::State &state)
{
    Scene scene;
    if (!scene.ok) {
        state.SkipWithError("could not build the sprite scene");
        return;
    }
    // The result must be that of the plain algorithm: nothing hit; and with the last sprite made
    // to match the shot's pattern, exactly that sprite.
    if (scene.shot->Collision() != 0) {
        state.SkipWithError("worst case scene reports a hit");
        return;
    }
    scene.last->SetDefinition(scene.hitDef);
    if (scene.shot->Collision() != SPRITES) {
        state.SkipWithError("the last sprite's hit is not found");
        return;
    }
    scene.last->SetDefinition(scene.enemyDef);
    int hits = 0;
    auto start = std::chrono::steady_clock::now();
    for (auto _ : state)
        hits += scene.shot->Collision();
    std::chrono::duration<double, std::nano> took = std::chrono::steady_clock::now() - start;
    benchmark::DoNotOptimize(hits);
    double perWalk = took.count() / (double)state.iterations();
    state.SetBytesProcessed((int64_t)state.iterations() * (int64_t)WalkBytes);
    state.counters["x_memcpy"] = perWalk / MemcpyNanoseconds();
}
BENCHMARK(BM_CollisionWalk47);

void BM_MemcpyCollisionWalkBytes(benchmark::State &state)
{
    std::vector<unsigned char> from(WalkBytes, 1), to(WalkBytes);
    for (auto _ : state) {
        memcpy(to.data(), from.data(), WalkBytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed((int64_t)state.iterations() * (int64_t)WalkBytes);
}
BENCHMARK(BM_MemcpyCollisionWalkBytes);

} // namespace
