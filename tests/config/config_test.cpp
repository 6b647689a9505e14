// The configuration file: every reader message and outcome, the exact file written, safe saves.
#include "kx_config.h"
#include "dd_input.h"
#include "sys_file.h"
#include "kx_test.h"
#include "script/log_capture.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

const char *const Ini = "kordax.ini";

void DefaultKeys()
{
    memcpy(P1InputKeys, DefaultP1InputKeys, sizeof P1InputKeys);
    memcpy(P2InputKeys, DefaultP2InputKeys, sizeof P2InputKeys);
}

std::vector<int> Keys(const int *keys) { return std::vector<int>(keys, keys + DDINPUT_NUM_ACTIONS); }

const std::vector<int> P1File = { 1, 2, 3, 4, 5, 6, 7, 8 };
const std::vector<int> P2File = { 11, 12, 13, 14, 15, 16, 17, 18 };

std::string Block(const char *marker, const std::vector<int> &keys)
{
    std::string text = std::string(marker) + "\n";
    for (int k : keys)
        text += std::to_string(k) + "\n";
    return text;
}

// Reads text as the configuration file, starting from the default keys.
void Read(const std::string &text)
{
    KxWriteFile(Ini, text);
    DefaultKeys();
    ReadIniFile();
}

// The log lines, without the log's prefix.
std::vector<std::string> Lines(const LogCapture &log)
{
    std::vector<std::string> lines;
    std::string text = log.Text();
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        std::string line = text.substr(at, end - at);
        if (line.rfind("ErrorLog: ", 0) == 0)
            line = line.substr(10);
        lines.push_back(line);
        at = end == std::string::npos ? text.size() : end + 1;
    }
    return lines;
}

using L = std::vector<std::string>;

class Config : public ::testing::Test {
protected:
    KxTempDir dir;
    LogCapture log;
    void TearDown() override { DefaultKeys(); }
};

} // namespace

TEST_F(Config, MissingFileKeepsDefaultsAndSaysSo)
{
    P1InputKeys[0] = 77;
    ReadIniFile();
    EXPECT_EQ(Lines(log), (L{ "Information: Failed to open 'kordax.ini'", "Information: Using default configuration." }));
    EXPECT_EQ(P1InputKeys[0], 77);
}

TEST_F(Config, WritesTheExactNineteenLines)
{
    DefaultKeys();
    ASSERT_TRUE(WriteIniFile());
    EXPECT_EQ(KxReadFile(Ini), "[KORDAX]\n[P1_INPUT]\n65\n68\n87\n88\n69\n90\n32\n9\n"
                               "[P2_INPUT]\n100\n102\n104\n98\n105\n97\n17\n16\n[END_KORDAX]\n");
    P1InputKeys[6] = 70;
    P2InputKeys[7] = 0;
    ASSERT_TRUE(WriteIniFile());
    DefaultKeys();
    ReadIniFile();
    EXPECT_EQ(P1InputKeys[6], 70);
    EXPECT_EQ(P2InputKeys[7], 0);
    EXPECT_TRUE(log.Empty()) << log.Text();
}

TEST_F(Config, CommentsAndHexadecimalAreReadAndNotWrittenBack)
{
    Read("# my keys\n[KORDAX]\n#players\n" + Block("[P1_INPUT]", P1File) +
         "[P2_INPUT]\n0x0b\n0xC\nkey 0x0d\n14\n0xf\n16\n17\n0x12\n# end\n[END_KORDAX]\n");
    EXPECT_TRUE(log.Empty()) << log.Text();
    EXPECT_EQ(Keys(P1InputKeys), P1File);
    EXPECT_EQ(Keys(P2InputKeys), P2File);
    ASSERT_TRUE(WriteIniFile());
    EXPECT_EQ(KxReadFile(Ini), "[KORDAX]\n" + Block("[P1_INPUT]", P1File) + Block("[P2_INPUT]", P2File) +
                                   "[END_KORDAX]\n");
}

TEST_F(Config, BlankLineStopsReadingAndIsLogged)
{
    Read("[KORDAX]\n" + Block("[P1_INPUT]", P1File) + "\n" + Block("[P2_INPUT]", P2File) + "[END_KORDAX]\n");
    EXPECT_EQ(Lines(log), (L{ "ReadIniFile: Block marker not found.", "" }));
    EXPECT_EQ(Keys(P1InputKeys), P1File);
    EXPECT_EQ(Keys(P2InputKeys), Keys(DefaultP2InputKeys));
}

TEST_F(Config, LineWithNoMarkerIsLoggedAsCut)
{
    Read("[KORDAX]\nnot [a marker] but text\r\n" + Block("[P1_INPUT]", P1File));
    EXPECT_EQ(Lines(log), (L{ "ReadIniFile: Block marker not found.", "not [a marker]" }));
    EXPECT_EQ(Keys(P1InputKeys), Keys(DefaultP1InputKeys));
}

TEST_F(Config, LineWithoutNumberZeroesThatKeyOnlyAndEndsAfterTheBlock)
{
    Read("[KORDAX]\n[P1_INPUT]\n1\n2\nabc\n4\n5\n6\n7\n8\n" + Block("[P2_INPUT]", P2File) + "[END_KORDAX]\n");
    EXPECT_EQ(Lines(log), (L{ "ReadIniFile: Failed to read [P1_INPUT]." }));
    EXPECT_EQ(Keys(P1InputKeys), (std::vector<int>{ 1, 2, 0, 4, 5, 6, 7, 8 }));
    EXPECT_EQ(Keys(P2InputKeys), Keys(DefaultP2InputKeys));
}

TEST_F(Config, EveryBadLineOfABlockIsReported)
{
    Read("[KORDAX]\n" + Block("[P1_INPUT]", P1File) + "[P2_INPUT]\nx\n12\n\n14\n-\n16\n17\n18\n");
    EXPECT_EQ(Lines(log), (L(3, "ReadIniFile: Failed to read [P2_INPUT].")));
    EXPECT_EQ(Keys(P2InputKeys), (std::vector<int>{ 0, 12, 0, 14, 0, 16, 17, 18 }));
}

TEST_F(Config, MissingEndMarkerIsAccepted)
{
    Read("[KORDAX]\n" + Block("[P1_INPUT]", P1File) + Block("[P2_INPUT]", P2File));
    EXPECT_TRUE(log.Empty()) << log.Text();
    EXPECT_EQ(Keys(P1InputKeys), P1File);
    EXPECT_EQ(Keys(P2InputKeys), P2File);
}

TEST_F(Config, FileEndingInsideABlockKeepsWhatWasRead)
{
    Read("[KORDAX]\n[P1_INPUT]\n1\n2\n3");
    EXPECT_EQ(Lines(log), (L(5, "ReadIniFile: Failed to read [P1_INPUT].")));
    std::vector<int> expect = Keys(DefaultP1InputKeys);
    expect[0] = 1, expect[1] = 2, expect[2] = 3;
    EXPECT_EQ(Keys(P1InputKeys), expect);
}

TEST_F(Config, BlocksInEitherOrderAndNothingAfterTheEnd)
{
    Read("[KORDAX]\n" + Block("[P2_INPUT]", P2File) + Block("[P1_INPUT]", P1File) +
         "[END_KORDAX]\nanything at all\n" + Block("[P1_INPUT]", P2File));
    EXPECT_TRUE(log.Empty()) << log.Text();
    EXPECT_EQ(Keys(P1InputKeys), P1File);
    EXPECT_EQ(Keys(P2InputKeys), P2File);
}

TEST_F(Config, RepeatedBlocks)
{
    Read("[KORDAX]\n" + Block("[P1_INPUT]", P1File) + Block("[P1_INPUT]", P2File) + Block("[P2_INPUT]", P2File));
    EXPECT_EQ(Lines(log), (L{ "ReadIniFile: [P1_INPUT] respecified." }));
    EXPECT_EQ(Keys(P1InputKeys), P1File);
    EXPECT_EQ(Keys(P2InputKeys), Keys(DefaultP2InputKeys));

    {
        LogCapture inner;
        Read("[KORDAX]\n" + Block("[P2_INPUT]", P2File) + Block("[P2_INPUT]", P1File));
        EXPECT_EQ(Lines(inner), (L{ "ReadIniFile: [P2_INPUT] respecified." }));
        EXPECT_EQ(Keys(P2InputKeys), P2File);
    }

    {
        LogCapture inner;
        Read("[KORDAX]\n[KORDAX]\n" + Block("[P1_INPUT]", P1File));
        EXPECT_EQ(Lines(inner), (L{ "ReadIniFile: [KORDAX] respecified." }));
        EXPECT_EQ(Keys(P1InputKeys), Keys(DefaultP1InputKeys));
    }
}

TEST_F(Config, OrderRules)
{
    Read(Block("[P1_INPUT]", P1File));
    EXPECT_EQ(Lines(log), (L{ "ReadIniFile: [P1_INPUT] found before [KORDAX]" }));
    EXPECT_EQ(Keys(P1InputKeys), Keys(DefaultP1InputKeys));

    {
        LogCapture inner;
        Read("#\n" + Block("[P2_INPUT]", P2File));
        EXPECT_EQ(Lines(inner), (L{ "ReadIniFile: [P2_INPUT] found before [KORDAX]" }));
    }

    {
        LogCapture inner;
        Read("[KORDAX]\n[END_KORDAX]\n");
        EXPECT_EQ(Lines(inner), (L{ "ReadIniFile: [P1_INPUT] not specified." }));
    }

    {
        LogCapture inner;
        Read("[KORDAX]\n" + Block("[P1_INPUT]", P1File) + "[END_KORDAX]\n" + Block("[P2_INPUT]", P2File));
        EXPECT_EQ(Lines(inner), (L{ "ReadIniFile: [P2_INPUT] not specified." }));
        EXPECT_EQ(Keys(P1InputKeys), P1File);
        EXPECT_EQ(Keys(P2InputKeys), Keys(DefaultP2InputKeys));
    }
}

TEST_F(Config, KeyCodesOutsideTheTableBecomeNoKey)
{
    Read("[KORDAX]\n[P1_INPUT]\n1\n256\n-1\n0x7fffffff\n5\n255\n0\n8\n" + Block("[P2_INPUT]", P2File));
    EXPECT_EQ(Lines(log), (L(3, "ReadIniFile: Key code out of range in [P1_INPUT].")));
    EXPECT_EQ(Keys(P1InputKeys), (std::vector<int>{ 1, 0, 0, 0, 5, 255, 0, 8 }));
    EXPECT_EQ(Keys(P2InputKeys), Keys(DefaultP2InputKeys));
}

TEST_F(Config, LongLinesAreReadInPieces)
{
    // A 300-character comment: its tail is a line of its own, where a marker is expected.
    Read("#" + std::string(299, 'c') + "\n[KORDAX]\n" + Block("[P1_INPUT]", P1File));
    EXPECT_EQ(Lines(log), (L{ "ReadIniFile: Block marker not found.", std::string(45, 'c') }));
}

TEST_F(Config, FailedWriteKeepsTheOldFile)
{
    DefaultKeys();
    ASSERT_TRUE(WriteIniFile());
    std::string old = KxReadFile(Ini);
    P1InputKeys[0] = 99;
    Sys_FailWritesAfter(30);
    EXPECT_FALSE(WriteIniFile());
    Sys_FailWritesAfter(-1);
    EXPECT_EQ(Lines(log), (L{ "WriteIniFile: Failed to write 'kordax.ini', keys not saved." }));
    EXPECT_EQ(KxReadFile(Ini), old);
    ReadIniFile();
    EXPECT_EQ(Keys(P1InputKeys), Keys(DefaultP1InputKeys));
}

TEST_F(Config, UnreadableFileIsReported)
{
    ASSERT_EQ(mkdir(Ini, 0755), 0);
    DefaultKeys();
    ReadIniFile();
    EXPECT_EQ(Lines(log), (L{ "ReadIniFile: Failed to read 'kordax.ini'." }));
    EXPECT_EQ(Keys(P1InputKeys), Keys(DefaultP1InputKeys));
}

TEST_F(Config, KilledMidWriteAlwaysLeavesOldOrNew)
{
    DefaultKeys();
    ASSERT_TRUE(WriteIniFile());
    std::string a = KxReadFile(Ini);
    P1InputKeys[6] = 70;
    ASSERT_TRUE(WriteIniFile());
    std::string b = KxReadFile(Ini);
    for (int round = 0; round < 6; round++) {
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int i = 0;; i++) {
                P1InputKeys[6] = i % 2 ? DefaultP1InputKeys[6] : 70;
                WriteIniFile();
            }
        }
        usleep(2000 + round * 3000);
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        std::string now = KxReadFile(Ini);
        ASSERT_TRUE(now == a || now == b) << "round " << round << ":\n" << now;
    }
}
