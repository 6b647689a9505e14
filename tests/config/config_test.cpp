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
    void TearDown() override
    {
        DefaultKeys();
        IniUnreadable = false;
    }
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
    P2InputKeys[7] = 200;
    ASSERT_TRUE(WriteIniFile());
    DefaultKeys();
    ReadIniFile();
    EXPECT_EQ(P1InputKeys[6], 70);
    EXPECT_EQ(P2InputKeys[7], 200);
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

TEST_F(Config, MissingEndMarkerIsAccepted)
{
    Read("[KORDAX]\n" + Block("[P1_INPUT]", P1File) + Block("[P2_INPUT]", P2File));
    EXPECT_TRUE(log.Empty()) << log.Text();
    EXPECT_EQ(Keys(P1InputKeys), P1File);
    EXPECT_EQ(Keys(P2InputKeys), P2File);
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
    EXPECT_EQ(Lines(log), (L{ "WriteIniFile: Failed to write 'kordax.ini' (no space left on the disk), keys not saved." }));
    EXPECT_EQ(KxReadFile(Ini), old);
    ReadIniFile();
    EXPECT_EQ(Keys(P1InputKeys), Keys(DefaultP1InputKeys));
}

// A bad key line: which block, which of its eight lines, what it holds, and the block order.
struct BadKey {
    bool p1;
    int slot;
    const char *text;
    bool p2First;
};

TEST_F(Config, BadKeyLineGivesThatActionItsDefaultAndTheRestIsRead)
{
    const BadKey cases[] = {
        { true, 6, "abc", false }, { true, 0, "0", false },    { true, 1, "256", false }, { true, 2, "-1", false },
        { true, 6, "999", false }, { true, 7, "999", true },   { false, 0, "abc", false }, { false, 3, "0", true },
        { false, 4, "256", false }, { false, 5, "-1", true },  { false, 7, "999", false }, { true, 3, "0x7fffffff", true },
    };
    for (const BadKey &c : cases) {
        SCOPED_TRACE(std::string(c.p1 ? "P1 " : "P2 ") + std::to_string(c.slot) + " " + c.text +
                     (c.p2First ? " P2 first" : ""));
        LogCapture inner;
        std::string bad = c.p1 ? "[P1_INPUT]\n" : "[P2_INPUT]\n";
        const std::vector<int> &keys = c.p1 ? P1File : P2File;
        for (int i = 0; i < DDINPUT_NUM_ACTIONS; i++)
            bad += (i == c.slot ? std::string(c.text) : std::to_string(keys[i])) + "\n";
        std::string good = c.p1 ? Block("[P2_INPUT]", P2File) : Block("[P1_INPUT]", P1File);
        bool badFirst = c.p1 != c.p2First;
        Read("[KORDAX]\n" + (badFirst ? bad + good : good + bad) + "[END_KORDAX]\n");

        std::vector<int> expect = keys;
        expect[c.slot] = (c.p1 ? DefaultP1InputKeys : DefaultP2InputKeys)[c.slot];
        EXPECT_EQ(Keys(c.p1 ? P1InputKeys : P2InputKeys), expect);
        EXPECT_EQ(Keys(c.p1 ? P2InputKeys : P1InputKeys), c.p1 ? P2File : P1File);
        int line = 1 + (badFirst ? 0 : 9) + 1 + c.slot + 1;
        std::vector<std::string> lines = Lines(inner);
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_NE(lines[0].find(c.p1 ? "[P1_INPUT]" : "[P2_INPUT]"), std::string::npos) << lines[0];
        EXPECT_NE(lines[0].find("ine " + std::to_string(line) + " \"" + c.text + "\""), std::string::npos) << lines[0];
        bool number = strcmp(c.text, "abc") != 0;
        EXPECT_EQ(lines[0].rfind(number ? "ReadIniFile: Key code out of range in " : "ReadIniFile: Failed to read ", 0), 0u)
            << lines[0];
    }
}

TEST_F(Config, FileEndingInsideABlockKeepsWhatWasRead)
{
    Read("[KORDAX]\n[P1_INPUT]\n1\n2\n3");
    EXPECT_EQ(Lines(log), (L{ "ReadIniFile: Failed to read [P1_INPUT]. The file ends at line 5, the block's last 5 keys kept." }));
    std::vector<int> expect = Keys(DefaultP1InputKeys);
    expect[0] = 1, expect[1] = 2, expect[2] = 3;
    EXPECT_EQ(Keys(P1InputKeys), expect);
}

TEST_F(Config, BytesOfADamagedLineAreEscapedInTheLog)
{
    Read("[KORDAX]\n\x01\xff[oops\n");
    EXPECT_EQ(Lines(log), (L{ "ReadIniFile: Block marker not found.", "\\x01\\xFF[oops" }));
}

TEST_F(Config, AFolderInItsPlaceIsReportedAndLeftAlone)
{
    ASSERT_EQ(mkdir(Ini, 0755), 0);
    DefaultKeys();
    ReadIniFile();
    EXPECT_EQ(Lines(log), (L{ "Information: 'kordax.ini' is a folder; it is left untouched and keys changed in "
                              "this run are not saved." }));
    EXPECT_EQ(Keys(P1InputKeys), Keys(DefaultP1InputKeys));
    EXPECT_FALSE(WriteIniFile());
    struct stat st;
    ASSERT_EQ(stat(Ini, &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
}

// Mode 000 as an ordinary user: the defaults are used for the run, menu changes stay in force,
// and the file is never written over.
TEST_F(Config, UnreadableFileIsNeverReplaced)
{
    const std::string custom = "[KORDAX]\n" + Block("[P1_INPUT]", P1File) + Block("[P2_INPUT]", P2File) + "[END_KORDAX]\n";
    KxWriteFile(Ini, custom);
    ASSERT_EQ(chmod(Ini, 0), 0);
    ASSERT_EQ(chmod(".", 0777), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (geteuid() == 0 && setuid(65534) != 0)
            _exit(2);
        DefaultKeys();
        ReadIniFile();
        P1InputKeys[6] = 70; // redefined in the menu
        bool kept = P1InputKeys[6] == 70 && P2InputKeys[0] == DefaultP2InputKeys[0];
        bool wrote = WriteIniFile();
        bool said = log.Has("Information: Using default configuration.") &&
                    log.Has("Information: 'kordax.ini' is unreadable; it is left untouched and keys changed in "
                            "this run are not saved.");
        _exit(kept && !wrote && said ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    chmod(Ini, 0644);
    EXPECT_EQ(KxReadFile(Ini), custom);
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

// A file the reader had to mend keeps its bytes as kordax.ini.damaged at the first save, said in
// one line; a file read as written, or in the other forms the reader takes, is just replaced.
TEST_F(Config, AMendedFileIsKeptAsideOnceBeforeItIsReplaced)
{
    const std::string keys = "[KORDAX]\n" + Block("[P1_INPUT]", P1File) + Block("[P2_INPUT]", P2File);
    const struct {
        std::string text;
        const char *damage; // null: read as written
    } rows[] = {
        { keys + "[END_KORDAX]\n", nullptr },
        { "# mine\r\n" + keys, nullptr },
        { "[KORDAX]\n[P1_INPUT]\n 0x1\nkey 0x02\n3 \r\n4\n5\n6\n7\n8\n" + Block("[P2_INPUT]", P2File), nullptr },
        { "[KORDAX]\n[P1_INPUT]\n1\n2\n3x\n4\n5\n6\n7\n8\n", "line 5: \"3x\" read as 3" },
        { "[KORDAX]\n[P1_INPUT]\n" + std::string(300, '9') + "\n", "line 3: longer than 255 characters" },
        { "[KORDAX]\n[P1_INPUT]\n1\n2\n0\n", "line 5: \"0\" is no key code" },
        { "[KORDAX]\n\n" + Block("[P1_INPUT]", P1File), "line 2: block marker not found" },
        { "[KORDAX] extra\n" + Block("[P1_INPUT]", P1File), "line 1: more than [KORDAX] on the line" },
        { "[KORDAX]\n[P1_INPUT]\n1\n", "line 3: the file ends inside [P1_INPUT]" },
        { keys + Block("[P1_INPUT]", P1File), "line 20: [P1_INPUT] respecified" },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.text.substr(0, 60));
        LogCapture inner;
        Read(row.text);
        ASSERT_TRUE(WriteIniFile());
        ASSERT_TRUE(WriteIniFile()); // once: the second save has nothing damaged to keep
        std::string said = "'kordax.ini' was damaged (" + std::string(row.damage ? row.damage : "") +
                           "); its old bytes are kept in 'kordax.ini.damaged'.";
        EXPECT_EQ(inner.Contains(said), row.damage != nullptr) << inner.Text();
        EXPECT_EQ(inner.Contains("was damaged"), row.damage != nullptr) << inner.Text();
        EXPECT_EQ(KxReadFile("kordax.ini.damaged"), row.damage ? row.text : "");
        struct stat st;
        EXPECT_NE(stat("kordax.ini.damaged.2", &st), 0);
        unlink("kordax.ini.damaged");
    }
    // An earlier copy is never overwritten: the next lies beside it.
    KxWriteFile("kordax.ini.damaged", "earlier");
    Read("[KORDAX]\n[P1_INPUT]\n7up\n");
    ASSERT_TRUE(WriteIniFile());
    EXPECT_EQ(KxReadFile("kordax.ini.damaged"), "earlier");
    EXPECT_EQ(KxReadFile("kordax.ini.damaged.2"), "[KORDAX]\n[P1_INPUT]\n7up\n");
}
