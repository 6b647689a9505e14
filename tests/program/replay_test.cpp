// A recorded game plays back from its journal alone, writes nothing of the player's, and a damaged or changed journal is caught.
#include "kx_run.h"
#include "kx_scores.h"
#include "sys_journal_codec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

KxRun Replay(const std::string &journal, const std::string &args = "--headless")
{
    // A window on no screen: SDL's dummy drivers.
    std::string env = args.find("--window") != std::string::npos ? "SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy " : "";
    std::string cmd = env + "'" + KORDAX_RUN_DIR + "/kordax' " + args + " --replay " + journal + " > out.txt 2>&1";
    int status = system(cmd.c_str());
    KxRun r;
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = KxReadFile("out.txt");
    return r;
}

std::string PlayerFiles()
{
    std::string shots;
    if (FILE *ls = popen("ls -l --time-style=+%s screenshots 2>&1", "r")) {
        char line[512];
        while (fgets(line, sizeof line, ls))
            shots += line;
        pclose(ls);
    }
    return KxReadFile("kordax.ini") + "|" + KxReadFile("kx_scores.dat") + "|" + KxReadFile("dderrors.log") + "|" +
           KxReadFile("kordax-display.ini") + "|" + shots;
}

// The journal again with the checksum of its sumsth checked frame changed by one bit (the stream
// recompressed, so that zlib finds nothing wrong); frame is that frame's number.
std::string WithChecksumChanged(const std::string &journal, int sums, long &frame)
{
    Inflater f;
    SysJournalHeader header;
    Record r;
    size_t at = 0;
    frame = 0;
    Jnl_InflateStart(f, (const uint8_t *)journal.data() + 9, journal.size() - 9);
    Jnl_GetHeader(f, header);
    while (!at && Jnl_GetRecord(f, r) && r.tag != TAG_END) {
        frame += r.tag == TAG_FRAME || r.tag == TAG_FRAME_SUM;
        if (r.tag == TAG_FRAME_SUM && --sums == 0)
            at = f.z.total_out - (f.have - f.at); // just past the sum's bytes
    }
    Jnl_InflateStart(f, (const uint8_t *)journal.data() + 9, journal.size() - 9);
    std::string body;
    for (uint8_t b; Jnl_GetByte(f, b);)
        body += (char)b;
    Jnl_InflateEnd(f);
    if (!at)
        return "";
    body[at - 1] ^= 1;
    std::string packed(compressBound(body.size()), '\0');
    uLongf size = packed.size();
    compress2((Bytef *)&packed[0], &size, (const Bytef *)body.data(), body.size(), Z_DEFAULT_COMPRESSION);
    return journal.substr(0, 9) + packed.substr(0, size);
}

} // namespace

TEST(Replay, RecordedGamePlaysBackTheSameAndDamageIsCaught)
{
    KxTempDir dir;
    // A pad comes and goes on the title; start, steer, fire, zap, lose every life, type initials at
    // the game over, quit.
    KxRun rec = KxRunGame("1000 pad 1 connect\n3000 pad 1 disconnect\n5000 pad 1 connect\n9500 press 13\n9600 down 32\n12000 down 65\n14000 up 65\n14500 down 87\n16000 up 87\n"
                          "20000 press 9\n300100 press 65\n300200 press 66\n300300 press 67\n300400 press 13\n"
                          "303000 quit\n",
                          "--record game.kxr");
    ASSERT_EQ(rec.exitCode, 0) << rec.out;
    KX_ScoreType s[KX_NUM_SCORES];
    std::string table = KxReadFile("kx_scores.dat");
    ASSERT_EQ(KX_SCORES_Decode((const unsigned char *)table.data(), (int)table.size(), s, KX_NUM_SCORES), KX_NUM_SCORES);
    ASSERT_STREQ(s[0].Name, "ABC") << "the game reached its end and took the initials";
    ASSERT_GT(s[0].Score, 0);

    // The player's files are as the recording left them, whatever the playback does.
    const std::string files = PlayerFiles(), journal = KxReadFile("game.kxr");
    KxRun play = Replay("game.kxr");
    EXPECT_EQ(play.exitCode, 0) << play.out;
    EXPECT_NE(play.out.find("scores " + std::to_string(s[0].Score) + " 0, matched"), std::string::npos) << play.out;
    EXPECT_EQ(PlayerFiles(), files);

    std::mt19937 random(18);
    std::string noise(journal.size(), '\0');
    std::generate(noise.begin(), noise.end(), [&] { return (char)random(); });
    // A whole byte: the recorder's flushes leave padding bits that inflate rightly ignores, and where
    // they fall depends on the writer thread's timing, so one flipped bit may change nothing.
    std::string flipped = journal;
    flipped[journal.size() / 2] ^= 0xFF;
    long changedFrame;
    std::string changed = WithChecksumChanged(journal, 100, changedFrame);
    ASSERT_FALSE(changed.empty());
    const struct {
        const char *what;
        std::string bytes;
        int exitCode;
        std::string said; // the one line printed
    } bad[] = {
        { "a byte of the body flipped", flipped, 1, "is damaged; it cannot be replayed" },
        { "a frame's checksum changed", changed, 1, "replay diverged at frame " + std::to_string(changedFrame) + " (" },
        { "cut to half (a killed recording)", journal.substr(0, journal.size() / 2), 0,
          " frames, the recorded run stopped here (no end record)" },
        { "random bytes", noise, 1, "is not a Kordax replay" },
        { "empty", "", 1, "is empty" },
        { "the header alone", journal.substr(0, 9), 1, "there is nothing to replay" },
    };
    for (const auto &b : bad) {
        KxWriteFile("bad.kxr", b.bytes);
        KxRun r = Replay("bad.kxr");
        EXPECT_EQ(r.exitCode, b.exitCode) << b.what << "\n" << r.out;
        EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1) << b.what << "\n" << r.out;
        EXPECT_NE(r.out.find(b.said), std::string::npos) << b.what << "\n" << r.out;
        EXPECT_EQ(PlayerFiles(), files) << b.what;
    }

    // Games recorded from real play in a window (held keys, a game to its end) still come out the
    // same; when the game's picture or rules change on purpose, record them again with --record:
    // tests/program/journals/record_window_game.sh BUILD_DIR does it under Xvfb with xdotool.
    for (const char *name : { "window_game_220.kxr" }) {
        KxRun r = Replay(std::string("'") + KORDAX_SOURCE_DIR + "/tests/program/journals/" + name + "'");
        EXPECT_EQ(r.exitCode, 0) << name << "\n" << r.out;
        EXPECT_NE(r.out.find(", matched"), std::string::npos) << name << "\n" << r.out;
    }
}

// In a window too a replay writes nothing of the player's: not the display choices the command
// line gives, not the shot the recorded run took with F12; and it says that its own switches are used.
TEST(Replay, WindowedReplayWritesNothingOfThePlayers)
{
    KxTempDir dir;
    // Recorded in a window too (a journal plays back in the kind of run that recorded it), with the
    // script's pads alone.
    KxRunGame("0 quit\n");
    KxWriteFile("script.txt", "100 pad 1 connect Wireless Controller\n1000 pad 1 disconnect\n1500 pad 1 connect\n"
                              "2000 press 123\n2500 quit\n");
    std::string cmd = std::string("SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy '") + KORDAX_RUN_DIR +
                      "/kordax' -2 -f --window --script script.txt --record short.kxr > out.txt 2>&1";
    ASSERT_EQ(system(cmd.c_str()), 0) << KxReadFile("out.txt");
    ASSERT_NE(KxReadFile("out.txt").find("screenshot saved"), std::string::npos) << KxReadFile("out.txt");
    for (const char *display : { "", "# Kordax display choices, kept between runs\nmode = fullscreen\n" }) {
        if (*display)
            KxWriteFile("kordax-display.ini", display);
        const std::string files = PlayerFiles();
        KxRun play = Replay("short.kxr", "-4 -n --window");
        EXPECT_EQ(play.exitCode, 0) << play.out;
        EXPECT_NE(play.out.find("matched"), std::string::npos) << play.out;
        EXPECT_NE(play.out.find("the journal's own switches (\"-2 -f\"), not \"-4 -n\""), std::string::npos) << play.out;
        EXPECT_EQ(PlayerFiles(), files) << (*display ? "with" : "without") << " a display file";
    }
}
