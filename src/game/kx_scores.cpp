// High scores: the three tables, their file, ranking, insertion and the high-score panel.
#include "kx_scores.h"
#include "kx_world.h"
#include "kx_bitmap.h"
#include "dd.h"
#include "dd_font.h"
#include "dd_log.h"
#include "sys_file.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

static const char ScoreFileName[] = "kx_scores.dat";

KX_ScoreType KX_Scores[KX_NUM_SCORES];
bool KX_ScoresLoaded = false;
// The file is there but may not be replaced: unreadable (it may hold good scores), no plain
// file, or made read-only by the player (then it is read). Said once, when loaded.
static bool ScoreFileKept = false;
// How the file as read was damaged (empty when it was not): its bytes are kept aside before
// the first save replaces them.
static std::string ScoreDamage;

static int32_t GetLE32(const unsigned char *p)
{
    return (int32_t)((uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24);
}

static void PutLE32(unsigned char *p, int32_t v)
{
    uint32_t u = (uint32_t)v;
    p[0] = (unsigned char)u;
    p[1] = (unsigned char)(u >> 8);
    p[2] = (unsigned char)(u >> 16);
    p[3] = (unsigned char)(u >> 24);
}

int KX_SCORES_Decode(const unsigned char *data, int size, KX_ScoreType *scores, int count)
{
    int n = 0;
    for (; n < count && size - n * KX_SCORE_RECORD_SIZE >= KX_SCORE_RECORD_SIZE; n++) {
        const unsigned char *p = data + n * KX_SCORE_RECORD_SIZE;
        scores[n].Level = GetLE32(p);
        scores[n].Score = GetLE32(p + 4);
        memcpy(scores[n].Name, p + 8, sizeof scores[n].Name);
    }
    return n;
}

void KX_SCORES_Encode(const KX_ScoreType *scores, int count, unsigned char *data)
{
    for (int n = 0; n < count; n++) {
        unsigned char *p = data + n * KX_SCORE_RECORD_SIZE;
        PutLE32(p, scores[n].Level);
        PutLE32(p + 4, scores[n].Score);
        memcpy(p + 8, scores[n].Name, sizeof scores[n].Name);
    }
}

void KX_SCORES_NameText(const KX_ScoreType &entry, char out[5])
{
    memcpy(out, entry.Name, 4);
    out[4] = '\0';
}

static void SetDefaults()
{
    for (KX_ScoreType &s : KX_Scores) {
        s.Level = 0;
        s.Score = 0;
        memcpy(s.Name, "UNK", 4);
    }
}

bool KX_PANEL_SCORES_Save()
{
    // Before a load the table holds nothing worth keeping; saving it would wipe the file.
    if (!KX_ScoresLoaded || ScoreFileKept)
        return false;
    unsigned char data[KX_SCORE_FILE_SIZE];
    KX_SCORES_Encode(KX_Scores, KX_NUM_SCORES, data);
    const char *why = nullptr;
    std::string copy;
    if (!ScoreDamage.empty() && !Sys_KeepDamaged(ScoreFileName, copy, &why)) {
        std::string message = std::string("Failed to keep a copy of the damaged score file (") + why +
                              "), scores not saved";
        DDErrorLogUrgent(message.c_str());
        return false;
    }
    if (!copy.empty()) {
        std::string message = "Information: 'kx_scores.dat' was damaged (" + ScoreDamage +
                              "); its old bytes are kept in '" + DDLogEscape(copy.c_str()) + "'.";
        DDErrorLog(message.c_str());
    }
    ScoreDamage.clear();
    if (!Sys_SaveFile(ScoreFileName, data, sizeof data, &why)) {
        if (!why) {
            DDErrorLog("Failed to open score file, scores not saved");
            return false;
        }
        std::string message = std::string("Failed to save score file (") + why + "), scores not saved";
        DDErrorLogUrgent(message.c_str());
        return false;
    }
    return true;
}

void KX_PANEL_SCORES_Initialise()
{
    const char *keep = nullptr;
    FILE *f = Sys_OpenPlayerFile(ScoreFileName, &keep);
    unsigned char data[KX_SCORE_FILE_SIZE + 1]; // one more, to tell a longer file
    size_t size = 0;
    std::string because;
    if (f) {
        size = fread(data, 1, sizeof data, f);
        // Opened but unreadable (a device error): treated as not opened.
        if (ferror(f)) {
            because = std::string("unreadable (") + strerror(errno) + ")";
            fclose(f);
            f = nullptr;
            keep = because.c_str();
        }
    }
    ScoreFileKept = keep != nullptr;
    ScoreDamage.clear();
    // What is no plain file ("a folder", "a FIFO", ...) was never opened: its own line says it all.
    if (!f && !(keep && strncmp(keep, "a ", 2) == 0))
        DDErrorLog("Failed to open score file, initialising scores to defaults");
    if (keep) {
        std::string message = std::string("Information: 'kx_scores.dat' is ") + keep +
                              "; it is left untouched and scores made in this run are not saved.";
        DDErrorLog(message.c_str());
    }
    if (!f) {
        SetDefaults();
        KX_ScoresLoaded = true;
        KX_PANEL_SCORES_Save();
        return;
    }
    fclose(f);
    // An empty file holds nothing to lose; any other size is not a score file as written.
    if (size > KX_SCORE_FILE_SIZE)
        ScoreDamage = "it is longer than " + std::to_string(KX_SCORE_FILE_SIZE) + " bytes";
    else if (size > 0 && size < KX_SCORE_FILE_SIZE)
        ScoreDamage = "it is " + std::to_string(size) + " bytes long, not " + std::to_string(KX_SCORE_FILE_SIZE);
    KX_SCORES_Decode(data, (int)size, KX_Scores, KX_NUM_SCORES);
    KX_ScoresLoaded = true;
}

void KX_PANEL_SCORES_Cleanup() { KX_PANEL_SCORES_Save(); }

// The current mode's table, or null for a mode that has none.
static KX_ScoreType *CurrentTable()
{
    if (GameMode < 0 || GameMode >= KX_SCORE_TABLES)
        return nullptr;
    return KX_Scores + GameMode * KX_SCORES_PER_TABLE;
}

int KX_PANEL_SCORES_ScorePosition(int level, int score)
{
    const KX_ScoreType *table = CurrentTable();
    if (!table)
        return -1;
    for (int place = 1; place <= KX_SCORES_PER_TABLE; place++)
        if (table[place - 1].Score < score)
            return place;
    return -1;
}

void KX_PANEL_SCORES_AddScore(int level, int score, const char *name)
{
    KX_ScoreType *table = CurrentTable();
    int place = KX_PANEL_SCORES_ScorePosition(level, score);
    if (!table || place == -1)
        return;
    // At most three characters, so the stored name is always terminated; copied first, since
    // the name given may lie in the table itself.
    char copy[4] = { 0, 0, 0, 0 };
    if (name)
        for (int c = 0; c < 3 && name[c]; c++)
            copy[c] = name[c];
    int i = place - 1;
    memmove(table + i + 1, table + i, (KX_SCORES_PER_TABLE - 1 - i) * sizeof *table);
    table[i].Level = level;
    table[i].Score = score;
    memcpy(table[i].Name, copy, sizeof copy);
}

void KX_PANEL_SCORES_Draw()
{
    DDBitmap_Draw(g_pDDSBack, KX_Bitmaps[KX_BITMAP_PANEL_SCORE], 480, 0);
    const KX_ScoreType *table = CurrentTable();
    if (!table)
        return;
    DDBitmap *font = KX_Bitmaps[KX_BITMAP_FONT1];
    for (int place = 1; place <= KX_SCORES_PER_TABLE; place++) {
        const KX_ScoreType &entry = table[place - 1];
        int y = 146 + 32 * (place - 1);
        char text[16];
        snprintf(text, sizeof text, "%6d", entry.Score);
        DDBitmap_DrawText(g_pDDSBack, font, text, 518, y);
        char name[5];
        KX_SCORES_NameText(entry, name);
        DDBitmap_DrawText(g_pDDSBack, font, name, 590, y);
    }
}
