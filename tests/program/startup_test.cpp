// The whole program headless: start-up order, refresh measurement, splash, script input, shutdown.
#include "kx_run.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

size_t Find(const std::string &log, const std::string &line, size_t from = 0)
{
    return log.find("ErrorLog: " + line + "\n", from);
}

bool AllBlack(const std::vector<uint8_t> &rgb)
{
    for (uint8_t v : rgb)
        if (v)
            return false;
    return true;
}

} // namespace

TEST(Program, StartsUpMeasuresShowsTheSplashAndShutsDown)
{
    KxTempDir dir;
    KxRun r = KxRunGame("1000 shot a.png\n5000 shot b.png\n12000 quit\n");
    ASSERT_EQ(r.exitCode, 0) << r.out;
    const char *order[] = { "Main window created", "Main window shown", "Main window updated",
                            "Main window set focus", "Main window shown and updated", "Initialised DirectDraw",
                            "Direct Draw surfaces created", "Direct Input initialised", "FSound initialised",
                            "Read config options" };
    size_t at = 0;
    for (const char *line : order) {
        size_t next = Find(r.log, line, at);
        ASSERT_NE(next, std::string::npos) << line << "\n" << r.log;
        at = next;
    }
    size_t refresh = r.log.find("ErrorLog: Refresh rate determined: ", at);
    ASSERT_NE(refresh, std::string::npos);
    EXPECT_NE(r.log.find("ErrorLog: Refresh rate determined: ", refresh + 1), std::string::npos);
    EXPECT_NE(r.log.find("(16 ms)"), std::string::npos);
    size_t init = Find(r.log, "Initialising Bumpmap", refresh);
    size_t done = Find(r.log, "Initialisation complete", init);
    ASSERT_NE(init, std::string::npos) << r.log;
    ASSERT_NE(done, std::string::npos) << r.log;
    struct stat st;
    bool haveSplash = stat("gfx/splash640x480.bmp", &st) == 0;
    if (haveSplash) {
        for (const char *bad : { "ErrorLog: Error", "Couldn't", "failed (" })
            EXPECT_EQ(r.log.find(bad), std::string::npos) << bad << "\n" << r.log;
    }
    else
        EXPECT_NE(Find(r.log, "Error: Failed to load splash screen"), std::string::npos) << r.log;

    std::vector<uint8_t> a, b;
    int w, h;
    ASSERT_TRUE(KxReadPNG("a.png", a, w, h));
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 480);
    EXPECT_TRUE(AllBlack(a));
    ASSERT_TRUE(KxReadPNG("b.png", b, w, h));
    if (haveSplash) {
        EXPECT_FALSE(AllBlack(b));
    }
}

TEST(Program, GameSwitchesComeFirst)
{
    KxTempDir dir;
    KxRun r = KxRunGame("100 quit\n", "-2 -n");
    EXPECT_EQ(r.exitCode, 0) << r.out;
    EXPECT_EQ(r.log.find("ErrorLog: 16 BPP mode selected\nErrorLog: Lighting = off\nErrorLog: Main window created\n"), 0u)
        << r.log;
    KxRun bad = KxRunGame("100 quit\n", "--bogus");
    EXPECT_NE(bad.exitCode, 0);
    EXPECT_NE(bad.out.find("--bogus"), std::string::npos);
}

TEST(Program, MalformedScriptStopsBeforeStartNamingTheLine)
{
    KxTempDir dir;
    KxRun r = KxRunGame("# comment\n\n100 press 13\n200 jump 5\n300 quit\n");
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.out.find(":4:"), std::string::npos) << r.out;
    EXPECT_EQ(r.log, "");
    for (const char *bad : { "100 press\n", "100 press 300\n", "100 quit now\n", "x shot a.png\n", "100 shot\n" }) {
        KxRun b = KxRunGame(bad);
        EXPECT_NE(b.exitCode, 0) << bad;
    }
}

TEST(Program, TimedemoReportsFramesAtExit)
{
    KxTempDir dir;
    KxRun r = KxRunGame("9000 quit\n", "--timedemo");
    EXPECT_EQ(r.exitCode, 0) << r.out;
    EXPECT_NE(r.out.find("timedemo: "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("frames per second"), std::string::npos);
}

TEST(Program, MissingArtworkEndsTheRunWithAFailure)
{
    KxTempDir dir;
    // An empty gfx folder: the splash is skipped, then the game's bitmaps cannot load.
    mkdir("gfx", 0755);
    KxWriteFile("script.txt", "20000 quit\n");
    std::string cmd = std::string("'") + KORDAX_RUN_DIR + "/kordax' --headless --script script.txt > out.txt 2>&1";
    int status = system(cmd.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    std::string log = KxReadFile("dderrors.log");
    EXPECT_NE(log.find("ErrorLog: Error detected during initialisation.\nErrorLog: Quitting Kordax\n"), std::string::npos)
        << log;
    EXPECT_NE(log.find("ErrorLog: Error: Failed to load splash screen\n"), std::string::npos);
}

namespace {

struct Outcome {
    int exitCode;
    std::string out, err;
};

// Runs the built program with args from the current folder, stdout and stderr apart.
Outcome RunProgram(const std::string &args)
{
    std::string cmd = std::string("'") + KORDAX_RUN_DIR + "/kordax' " + args + " > out.txt 2> err.txt";
    int status = system(cmd.c_str());
    return Outcome{ WIFEXITED(status) ? WEXITSTATUS(status) : -1, KxReadFile("out.txt"), KxReadFile("err.txt") };
}

} // namespace

TEST(Program, HelpListsEveryOptionVersionNamesTheBuildBadOptionsShowUsage)
{
    KxTempDir dir;
    Outcome help = RunProgram("--help");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.err, "");
    std::string list = help.out.substr(help.out.find("\n\n")); // past the usage lines
    for (const char *option : { "-2,", "-3,", "-4 ", "-f ", "-n ", "--window ", "--integer-scale ", "--headless ",
                                "--script FILE ", "--timedemo ", "--help ", "--version " })
        EXPECT_NE(list.find(option), std::string::npos) << option << "\n" << help.out;

    Outcome version = RunProgram("-2 --version");
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "kordax " KORDAX_VERSION "\n");

    Outcome bad = RunProgram("--bogus");
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_EQ(bad.out, "");
    EXPECT_NE(bad.err.find("'--bogus'"), std::string::npos) << bad.err;
    EXPECT_NE(bad.err.find("usage: kordax"), std::string::npos) << bad.err;

    Outcome renderer = RunProgram("--renderer=metal");
    EXPECT_EQ(renderer.exitCode, 2);
    EXPECT_NE(renderer.err.find("unknown renderer 'metal'"), std::string::npos) << renderer.err;
}

TEST(Program, WithoutDataBesideItOrInTheWorkingFolderItSaysWhereItLookedAndStops)
{
    KxTempDir dir;
    Outcome o = RunProgram("--headless");
    EXPECT_EQ(o.exitCode, 1);
    EXPECT_NE(o.err.find(dir.Path()), std::string::npos) << o.err;
    EXPECT_NE(o.err.find("/share/kordax"), std::string::npos) << o.err;
    struct stat st;
    for (const char *name : { "dderrors.log", "kordax.ini", "kx_scores.dat" })
        EXPECT_NE(stat(name, &st), 0) << name;
}
