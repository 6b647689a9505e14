// Enemy sprites: frames counted and posed from each enemy's animation record, then drawn.
#include "ag_assets.h"
#include "ag_creatures.h"

#include <algorithm>
#include <cmath>

namespace {

const float AG_Pi = 3.14159265f;

// The animation records the game moves its enemies by (cycles, turn phases).
struct AG_AnimRecord {
    int count;
    int cross[16], low[16], high[16], turn[13];
};

const AG_AnimRecord AG_Records[10] = {
    {8, {0, 1, 2, 3, 4, 5, 6, 7}, {16, 17, 18, 19, 20, 21, 22, 23}, {8, 9, 10, 11, 12, 13, 14, 15},
     {21, 33, 32, 31, 30, 29, 0, 24, 25, 26, 27, 28, 14}},
    {12, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, {24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35},
     {12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23}, {29, 40, 39, 38, 37, 36, 0, 41, 42, 43, 44, 45, 17}},
    {10, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, {10, 11, 12, 13, 14, 15, 16, 17, 18, 19}, {20, 21, 22, 23, 24, 25, 26, 27, 28, 20},
     {16, 34, 33, 32, 31, 30, 0, 35, 36, 37, 38, 39, 26}},
    {10, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, {10, 11, 12, 13, 14, 15, 16, 17, 18, 19}, {20, 21, 22, 23, 24, 25, 26, 27, 28, 20},
     {15, 34, 33, 32, 31, 30, 4, 35, 36, 37, 38, 39, 29}},
    {8, {0, 1, 2, 3, 4, 5, 6, 7}, {8, 9, 10, 11, 12, 13, 14, 15}, {16, 17, 18, 19, 20, 21, 22, 23},
     {14, 28, 27, 26, 25, 24, 0, 29, 30, 31, 32, 33, 21}},
    {8, {0, 1, 2, 3, 4, 5, 6, 7}, {16, 17, 18, 19, 20, 21, 22, 23}, {8, 9, 10, 11, 12, 13, 14, 15},
     {16, 33, 32, 31, 30, 29, 0, 24, 25, 26, 27, 28, 8}},
    {10, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, {10, 11, 12, 13, 14, 15, 16, 17, 18, 19}, {20, 21, 22, 23, 24, 25, 26, 27, 28, 20},
     {16, 34, 33, 32, 31, 30, 0, 35, 36, 37, 38, 39, 26}},
    {10, {0, 1, 2, 3, 4, 5, 4, 3, 2, 1}, {6, 7, 8, 9, 10, 11, 10, 9, 8, 7}, {12, 13, 14, 15, 16, 17, 16, 15, 14, 12},
     {10, 22, 21, 20, 19, 18, 0, 23, 24, 25, 26, 27, 17}},
    {14, {0, 1, 2, 3, 4, 5, 6, 7, 6, 5, 4, 3, 2, 1}, {8, 9, 10, 11, 12, 13, 14, 15, 14, 13, 12, 11, 10, 9},
     {16, 17, 18, 19, 20, 21, 22, 23, 22, 21, 20, 19, 18, 17}, {14, 28, 27, 26, 25, 24, 0, 29, 30, 31, 32, 33, 21}},
    {9, {0, 1, 2, 3, 4, 5, 6, 7, 8}, {9, 10, 11, 12, 13, 14, 15, 16, 17}, {17, 16, 15, 14, 13, 12, 11, 10, 9},
     {15, 22, 21, 20, 19, 18, 0, 18, 19, 20, 21, 22, 12}},
};

struct AG_Pose {
    float heading = 0;
    float t = 0;
    bool set = false;
};

// Phase within a cycle: a ping-pong cycle covers half a period going out and back; a cycle that
// repeats a frame spreads its distinct frames over the whole period.
float AG_CyclePhase(const int *cycle, int count, int pos)
{
    int peak = 0;
    for (int i = 1; i < count; i++)
        if (cycle[i] > cycle[peak])
            peak = i;
    bool pingPong = count > 2 && cycle[count - 1] == cycle[1] && peak > 0 && peak < count - 1;
    if (pingPong)
        return pos / (2.0f * peak);
    int distinct = 0;
    for (int i = 0; i < count; i++) {
        bool seen = false;
        for (int j = 0; j < i; j++)
            seen = seen || cycle[j] == cycle[i];
        distinct += seen ? 0 : 1;
    }
    return float(pos) / float(distinct);
}

// Headings: X enemies cross rightward, low is up and high is down; Y enemies cross downward,
// low is left and high is right. Turn phase p lies 15 degrees a step between low and high.
std::vector<AG_Pose> AG_Poses(const AG_AnimRecord &r, bool yAxis)
{
    float cross = yAxis ? AG_Pi / 2 : 0, low = yAxis ? AG_Pi : -AG_Pi / 2, high = yAxis ? 0 : AG_Pi / 2;
    int maxFrame = 0;
    for (int i = 0; i < r.count; i++)
        maxFrame = std::max({maxFrame, r.cross[i], r.low[i], r.high[i]});
    for (int p = 0; p < 13; p++)
        maxFrame = std::max(maxFrame, r.turn[p]);
    std::vector<AG_Pose> poses(size_t(maxFrame + 1));
    auto setCycle = [&](const int *cyc, float heading) {
        for (int i = 0; i < r.count; i++) {
            AG_Pose &p = poses[size_t(cyc[i])];
            if (!p.set)
                p = {heading, AG_CyclePhase(cyc, r.count, i), true};
        }
    };
    setCycle(r.cross, cross);
    setCycle(r.low, low);
    setCycle(r.high, high);
    for (int ph = 0; ph < 13; ph++) {
        AG_Pose &p = poses[size_t(r.turn[ph])];
        if (!p.set) {
            float a = yAxis ? AG_Pi - ph * AG_Pi / 12 : -AG_Pi / 2 + ph * AG_Pi / 12;
            p = {a, 0, true};
        }
    }
    return poses;
}

struct AG_Enemy {
    const char *name;
    int record;
    bool yAxis;
    void (*draw)(AG_Body &, float);
    const char *comment;
    float flip = 0; // extra turn of the drawing: the skull's jaw leads, its crown trails
};

const AG_Enemy AG_Enemies[10] = {
    {"ammonite", 1, false, AG_DrawAmmonite, "Ammonite: X enemy, a coiled shell with grasping tentacles"},
    {"scorpion", 3, false, AG_DrawScorpion, "Scorpion: X enemy, pincers forward and a curled sting"},
    {"spectre", 5, false, AG_DrawSpectre, "Spectre: X enemy, a hooded ghost trailing its shroud"},
    {"mechwasp", 7, false, AG_DrawMechwasp, "Mechwasp: X enemy, a striped mechanical wasp"},
    {"ufo", 9, false, AG_DrawUfo, "UFO: X enemy, a flying saucer with running lights"},
    {"trilobite", 0, true, AG_DrawTrilobite, "Trilobite: Y enemy, a segmented armoured crawler"},
    {"scarab", 2, true, AG_DrawScarab, "Scarab: Y enemy, an iridescent beetle"},
    {"skull", 4, true, AG_DrawSkull, "Skull: Y enemy, a flying skull with burning eyes", AG_Pi},
    {"mechspider", 6, true, AG_DrawMechspider, "Mechspider: Y enemy, an eight-legged walking machine"},
    {"rocket", 8, true, AG_DrawRocket, "Rocket: Y enemy, a finned rocket under thrust"},
};

// Brighter, richer bodies: the fields are mid-toned, so an enemy stands out by value as well as
// by its dark rim. Shadows stay dark; mid-tones rise.
void AG_Lift(AG_Image &img)
{
    for (int y = 0; y < img.h; y++)
        for (int x = 0; x < img.w; x++) {
            float *d = img.At(x, y);
            if (d[3] <= 0)
                continue;
            float c[3] = {d[0] / d[3], d[1] / d[3], d[2] / d[3]};
            float grey = 0.3f * c[0] + 0.59f * c[1] + 0.11f * c[2];
            for (float &v : c) {
                v = AG_Clamp(grey + (v - grey) * 1.3f, 0, 1);  // a little more colour
                v = 1 - std::pow(1 - v, 2.2f);                  // and lighter mid-tones
            }
            for (int k = 0; k < 3; k++)
                d[k] = c[k] * d[3];
        }
}

} // namespace

int AG_EnemyFrameCount(const char *name)
{
    for (const AG_Enemy &e : AG_Enemies)
        if (std::string(name) == e.name)
            return int(AG_Poses(AG_Records[e.record], e.yAxis).size());
    return 0;
}

void AG_GenEnemies()
{
    const int S = 40;
    for (const AG_Enemy &e : AG_Enemies) {
        std::vector<AG_Pose> poses = AG_Poses(AG_Records[e.record], e.yAxis);
        std::vector<AG_Image> frames;
        for (const AG_Pose &p : poses) {
            AG_Canvas cv(S, S, 3);
            AG_Body body(cv, S * 0.5f, S * 0.5f, p.heading + e.flip);
            e.draw(body, p.t);
            AG_Image img = cv.Resolve();
            AG_Lift(img);
            AG_Outline(img, AG_Style::Ink);
            AG_Outline(img, AG_Style::Ink, 0.99f);
            frames.push_back(img);
        }
        AG_WriteSprite({e.name, "PIXEL", true, 8, e.comment}, frames);
    }
}
