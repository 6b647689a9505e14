// High scores: three tables of ten, their file "kx_scores.dat", ranking, insertion and the panel.
#pragma once

// One entry as it lies in memory and in the file: little-endian Level and Score, then Name.
struct KX_ScoreType {
    int Level;
    int Score;
    char Name[4]; // up to three characters and a zero byte; from a file, possibly unterminated
};
static_assert(sizeof(KX_ScoreType) == 12, "a score entry is 12 bytes");

enum {
    KX_SCORES_PER_TABLE = 10,
    KX_SCORE_TABLES = 3, // one per game mode
    KX_NUM_SCORES = KX_SCORES_PER_TABLE * KX_SCORE_TABLES,
    KX_SCORE_RECORD_SIZE = 12,
    KX_SCORE_FILE_SIZE = KX_NUM_SCORES * KX_SCORE_RECORD_SIZE
};

// Tables of modes 0, 1, 2 in that order, each from place 1 to place 10.
extern KX_ScoreType KX_Scores[KX_NUM_SCORES];
// The store was loaded (or set to defaults) this run, so it may be saved.
extern bool KX_ScoresLoaded;

void KX_PANEL_SCORES_Initialise();
void KX_PANEL_SCORES_Cleanup();
// True when the file was replaced whole; false (and the old file kept) otherwise.
bool KX_PANEL_SCORES_Save();
int KX_PANEL_SCORES_ScorePosition(int level, int score);
void KX_PANEL_SCORES_AddScore(int level, int score, const char *name);
void KX_PANEL_SCORES_Draw();

// The file's bytes, decoded into entries: only whole records are taken, so a short file leaves
// the entries it does not reach unchanged. Returns the number of entries read.
int KX_SCORES_Decode(const unsigned char *data, int size, KX_ScoreType *scores, int count);
void KX_SCORES_Encode(const KX_ScoreType *scores, int count, unsigned char *data);
// A name read at most four bytes far, always terminated: out needs five bytes.
void KX_SCORES_NameText(const KX_ScoreType &entry, char out[5]);
