// The generator itself: a second run writes the very same bytes, and it can write a contact sheet.
#include "asset_files.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

namespace {

std::vector<std::string> Files(const std::string &dir)
{
    std::vector<std::string> names;
    if (DIR *d = opendir(dir.c_str())) {
        while (dirent *e = readdir(d))
            if (e->d_name[0] != '.')
                names.push_back(e->d_name);
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(AssetGenerator, ASecondRunWritesIdenticalFilesAndASheet)
{
    std::string tool = std::string(KORDAX_RUN_DIR) + "/../assetgen";
    struct stat st;
    if (stat(tool.c_str(), &st) != 0 || Files(std::string(KORDAX_RUN_DIR) + "/gfx").empty())
        GTEST_SKIP() << "the generator or its first output is not built";
    KxTempDir tmp;
    std::string cmd = "'" + tool + "' --quiet --sheet '" + tmp.Path() + "/sheet.png' '" + tmp.Path() + "/run'";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
    for (const char *sub : {"/gfx", "/sound", "/icons"}) {
        std::vector<std::string> ours = Files(tmp.Path() + "/run" + sub);
        std::vector<std::string> built = Files(std::string(KORDAX_RUN_DIR) + sub);
        ASSERT_FALSE(ours.empty());
        for (const std::string &n : ours) {
            std::string a = KxReadFile(tmp.Path() + "/run" + sub + "/" + n);
            std::string b = KxReadFile(std::string(KORDAX_RUN_DIR) + sub + "/" + n);
            EXPECT_FALSE(a.empty()) << n;
            EXPECT_TRUE(a == b) << n << " differs between two runs";
        }
        // Nothing the build left is missing from a fresh run (the build's own marker aside).
        for (const std::string &n : built) {
            if (n != ".generated") {
                EXPECT_TRUE(std::find(ours.begin(), ours.end(), n) != ours.end()) << n;
            }
        }
    }
    std::string png = KxReadFile(tmp.Path() + "/sheet.png");
    ASSERT_GT(png.size(), 8u);
    EXPECT_EQ(png.substr(1, 3), "PNG");
}

TEST(AssetGenerator, RefusesAMissingRunDirectoryArgument)
{
    std::string tool = std::string(KORDAX_RUN_DIR) + "/../assetgen";
    struct stat st;
    if (stat(tool.c_str(), &st) != 0)
        GTEST_SKIP() << "the generator is not built";
    std::string cmd = "'" + tool + "' > /dev/null 2>&1";
    EXPECT_NE(std::system(cmd.c_str()), 0);
}

} // namespace

namespace {

// Runs the generator with the given arguments; stdout and stderr land in `out`.
int RunTool(const std::string &args, std::string &out)
{
    std::string cmd = "'" + std::string(KORDAX_RUN_DIR) + "/../assetgen' " + args + " > tool.txt 2>&1";
    int status = std::system(cmd.c_str());
    out = KxReadFile("tool.txt");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

TEST(AssetGenerator, HelpPrintsUsageAndWritesNothing)
{
    struct stat st;
    if (stat((std::string(KORDAX_RUN_DIR) + "/../assetgen").c_str(), &st) != 0)
        GTEST_SKIP() << "the generator is not built";
    KxTempDir tmp;
    std::string out;
    EXPECT_EQ(RunTool("--help", out), 0);
    EXPECT_NE(out.find("usage: assetgen"), std::string::npos) << out;
    EXPECT_NE(stat("--help", &st), 0) << "a folder named --help was made";
}

TEST(AssetGenerator, AnOutputFolderItCannotMakeOrWriteFailsCleanly)
{
    struct stat st;
    if (stat((std::string(KORDAX_RUN_DIR) + "/../assetgen").c_str(), &st) != 0)
        GTEST_SKIP() << "the generator is not built";
    KxTempDir tmp;
    KxWriteFile("plain", "x");
    // A missing parent, a plain file in the way, and a folder the system refuses.
    for (const char *dir : { "missing/run", "plain/run", "/proc/kx_assets" }) {
        std::string out;
        EXPECT_EQ(RunTool(std::string("--quiet '") + dir + "'", out), 1) << dir;
        EXPECT_NE(out.find(std::string("assetgen: cannot create output folder ") + dir), std::string::npos) << out;
    }
    EXPECT_NE(stat("missing", &st), 0);
    // Whatever fails mid-way leaves only whole files: no ".part" twin survives a finished run.
    std::string out;
    ASSERT_EQ(RunTool("--quiet run", out), 0) << out;
    for (const char *sub : { "run/gfx", "run/sound" })
        for (const std::string &n : Files(sub))
            EXPECT_EQ(n.find(".part"), std::string::npos) << n;
}
