// The score file: defaults, layout, short and damaged files, and saves that never lose the old file.
#include "kx_scores.h"
#include "kx_world.h"
#include "sys_file.h"
#include "kx_test.h"
#include "script/log_capture.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const char *const File = "kx_scores.dat";

// A table whose every entry differs, so any shift or mix shows.
void FillDistinct(int seed)
{
    for (int i = 0; i < KX_NUM_SCORES; i++) {
        KX_Scores[i].Level = (seed + i) % 10;
        KX_Scores[i].Score = seed * 1000 + (KX_NUM_SCORES - i) * 10;
        snprintf(KX_Scores[i].Name, sizeof KX_Scores[i].Name, "%c%02d", 'A' + seed % 26, i);
    }
}

std::string Encoded()
{
    unsigned char data[KX_SCORE_FILE_SIZE];
    KX_SCORES_Encode(KX_Scores, KX_NUM_SCORES, data);
    return std::string((const char *)data, sizeof data);
}

void Forget()
{
    memset(KX_Scores, 0, sizeof KX_Scores);
    KX_ScoresLoaded = false;
}

} // namespace

TEST(ScoreFile, MissingFileGivesDefaultsAndIsWrittenAtOnce)
{
    KxTempDir dir;
    LogCapture log;
    Forget();
    KX_PANEL_SCORES_Initialise();
    EXPECT_TRUE(log.Has("Failed to open score file, initialising scores to defaults"));
    std::string data = KxReadFile(File);
    ASSERT_EQ(data.size(), 360u);
    for (int i = 0; i < KX_NUM_SCORES; i++) {
        const char *p = data.data() + 12 * i;
        EXPECT_EQ(std::string(p, 8), std::string(8, '\0')) << "entry " << i;
        EXPECT_STREQ(p + 8, "UNK") << "entry " << i;
    }
}

TEST(ScoreFile, LayoutIsLittleEndianModeByMode)
{
    KxTempDir dir;
    Forget();
    KX_PANEL_SCORES_Initialise();
    KX_Scores[10].Level = 7;          // mode 1, place 1
    KX_Scores[10].Score = 0x01020304;
    KX_Scores[29].Score = -2;         // mode 2, place 10
    memcpy(KX_Scores[29].Name, "XY\0", 4);
    ASSERT_TRUE(KX_PANEL_SCORES_Save());
    std::string data = KxReadFile(File);
    ASSERT_EQ(data.size(), 360u);
    EXPECT_EQ(data.substr(120, 8), std::string("\x07\0\0\0\x04\x03\x02\x01", 8));
    EXPECT_EQ(data.substr(352, 8), std::string("\xfe\xff\xff\xffXY\0\0", 8));

    KX_ScoreType saved[KX_NUM_SCORES];
    memcpy(saved, KX_Scores, sizeof saved);
    Forget();
    KX_PANEL_SCORES_Initialise();
    EXPECT_EQ(memcmp(saved, KX_Scores, sizeof saved), 0);
}

TEST(ScoreFile, ShortFileReadsWholeRecordsOnlyAndLeavesTheRest)
{
    KxTempDir dir;
    LogCapture log;
    FillDistinct(1);
    std::string full = Encoded();
    FillDistinct(2);
    KX_ScoreType before[KX_NUM_SCORES];
    memcpy(before, KX_Scores, sizeof before);
    // Two whole records and seven bytes of a third.
    KxWriteFile(File, full.substr(0, 31));
    KX_PANEL_SCORES_Initialise();
    EXPECT_TRUE(log.Empty()) << log.Text();
    unsigned char expect[KX_SCORE_FILE_SIZE];
    memcpy(expect, full.data(), 24);
    KX_ScoreType first[2];
    KX_SCORES_Decode(expect, 24, first, 2);
    EXPECT_EQ(memcmp(KX_Scores, first, sizeof first), 0);
    EXPECT_EQ(memcmp(KX_Scores + 2, before + 2, sizeof(KX_ScoreType) * 28), 0);

    // An empty file reads nothing at all; a longer one is read for its first 360 bytes.
    std::string now = Encoded();
    KxWriteFile(File, "");
    KX_PANEL_SCORES_Initialise();
    EXPECT_EQ(Encoded(), now);
    KxWriteFile(File, full + "trailing");
    KX_PANEL_SCORES_Initialise();
    EXPECT_EQ(Encoded(), full);
}

// A file of the wrong size keeps its bytes as kx_scores.dat.damaged at the first save, said once.
TEST(ScoreFile, AFileOfTheWrongSizeIsKeptAsideOnceBeforeItIsReplaced)
{
    KxTempDir dir;
    FillDistinct(9);
    const std::string full = Encoded();
    const struct {
        std::string bytes;
        const char *damage; // null: nothing to keep
    } rows[] = {
        { "", nullptr },
        { full, nullptr },
        { full.substr(0, 31), "it is 31 bytes long, not 360" },
        { full + "x", "it is longer than 360 bytes" },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.bytes.size());
        KxWriteFile(File, row.bytes);
        Forget();
        LogCapture log;
        KX_PANEL_SCORES_Initialise();
        ASSERT_TRUE(KX_PANEL_SCORES_Save());
        ASSERT_TRUE(KX_PANEL_SCORES_Save());
        EXPECT_EQ(KxReadFile(File).size(), 360u);
        EXPECT_EQ(KxReadFile("kx_scores.dat.damaged"), row.damage ? row.bytes : "");
        std::string said = row.damage ? "ErrorLog: Information: 'kx_scores.dat' was damaged (" +
                                            std::string(row.damage) +
                                            "); its old bytes are kept in 'kx_scores.dat.damaged'.\n"
                                      : "";
        EXPECT_EQ(log.Text(), said);
        unlink("kx_scores.dat.damaged");
    }
}

TEST(ScoreFile, FourByteNameIsNeverReadPast)
{
    KxTempDir dir;
    FillDistinct(3);
    memcpy(KX_Scores[29].Name, "WXYZ", 4); // the very last bytes of the table
    KxWriteFile(File, Encoded());
    Forget();
    KX_PANEL_SCORES_Initialise();
    char text[5];
    KX_SCORES_NameText(KX_Scores[29], text);
    EXPECT_STREQ(text, "WXYZ");
    // Its bytes go back to the file as they came.
    std::string before = KxReadFile(File);
    ASSERT_TRUE(KX_PANEL_SCORES_Save());
    EXPECT_EQ(KxReadFile(File), before);
}

TEST(ScoreFile, CleanupBeforeLoadingLeavesTheFileAlone)
{
    KxTempDir dir;
    FillDistinct(4);
    std::string good = Encoded();
    KxWriteFile(File, good);
    Forget(); // as when the game quits during the splash screen
    KX_PANEL_SCORES_Cleanup();
    EXPECT_EQ(KxReadFile(File), good);
    EXPECT_FALSE(KX_PANEL_SCORES_Save());
    EXPECT_EQ(KxReadFile(File), good);
}

TEST(ScoreFile, FailedSaveLogsAndKeepsTheOldFile)
{
    KxTempDir dir;
    FillDistinct(5);
    std::string old = Encoded();
    KxWriteFile(File, old);
    Forget();
    KX_PANEL_SCORES_Initialise();
    FillDistinct(6);
    LogCapture log;
    Sys_FailWritesAfter(100);
    EXPECT_FALSE(KX_PANEL_SCORES_Save());
    Sys_FailWritesAfter(-1);
    EXPECT_TRUE(log.Has("Failed to save score file (no space left on the disk), scores not saved"));
    EXPECT_EQ(KxReadFile(File), old);
    Forget();
    KX_PANEL_SCORES_Initialise();
    EXPECT_EQ(Encoded(), old);
}

TEST(ScoreFile, UnreadableFileIsNeverReplaced)
{
    KxTempDir dir;
    // Something in the file's place that opens but cannot be read as scores.
    ASSERT_EQ(mkdir(File, 0755), 0);
    KxWriteFile(std::string(File) + "/inside", "kept");
    LogCapture log;
    Forget();
    KX_PANEL_SCORES_Initialise();
    EXPECT_STREQ(KX_Scores[0].Name, "UNK");
    KX_PANEL_SCORES_Save(); // as after initials are typed
    KX_PANEL_SCORES_Cleanup();
    // Said once, with what stands there, however often a save is asked for.
    EXPECT_EQ(log.Text(), "ErrorLog: Information: 'kx_scores.dat' is a folder; it is left untouched and scores "
                          "made in this run are not saved.\n");
    EXPECT_EQ(KxReadFile(std::string(File) + "/inside"), "kept");
    // Once the file can be read again, saves work as before.
    ASSERT_EQ(system("rm -rf kx_scores.dat"), 0);
    Forget();
    KX_PANEL_SCORES_Initialise();
    EXPECT_TRUE(KX_PANEL_SCORES_Save());
}

// A process killed at any moment of a save leaves the old contents or the new, never a mixture.
TEST(ScoreFile, KilledMidSaveAlwaysLeavesOldOrNew)
{
    KxTempDir dir;
    FillDistinct(7);
    std::string a = Encoded();
    FillDistinct(8);
    std::string b = Encoded();
    KxWriteFile(File, a);
    for (int round = 0; round < 12; round++) {
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            Forget();
            KX_PANEL_SCORES_Initialise();
            for (int i = 0;; i++) {
                FillDistinct(i % 2 ? 7 : 8);
                KX_PANEL_SCORES_Save();
            }
        }
        usleep(2000 + round * 1500);
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        std::string now = KxReadFile(File);
        ASSERT_TRUE(now == a || now == b) << "round " << round << ": " << now.size() << " bytes";
        Forget();
        KX_PANEL_SCORES_Initialise();
        EXPECT_EQ(Encoded(), now);
    }
}
