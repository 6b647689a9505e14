// Where the game's files live: in place, or installed with the player's files in the XDG folders.
#include "sys_file.h"
#include "kx_test.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>

namespace {

const char *const XdgVariables[] = { "HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME" };

bool Exists(const std::string &path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

int Entries(const std::string &dir)
{
    int n = 0;
    if (DIR *d = opendir(dir.c_str())) {
        while (dirent *e = readdir(d))
            n += e->d_name[0] != '.';
        closedir(d);
    }
    return n;
}

// A scratch tree: an installed prefix with its data, a fresh home, and an empty working folder.
class FileLocations : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char *v : XdgVariables) {
            const char *value = getenv(v);
            saved_.push_back(value ? value : "");
            saved_set_.push_back(value != nullptr);
            unsetenv(v);
        }
        root_ = tmp_.Path();
        home_ = root_ + "/home";
        work_ = root_ + "/work";
        for (const char *d : { "/home", "/work", "/prefix", "/prefix/bin", "/prefix/share", "/prefix/share/kordax",
                               "/prefix/share/kordax/gfx" })
            mkdir((root_ + d).c_str(), 0755);
        KxWriteFile(root_ + "/prefix/share/kordax/gfx/a.txt", "art");
        setenv("HOME", home_.c_str(), 1);
        ASSERT_EQ(chdir(work_.c_str()), 0);
    }
    void TearDown() override
    {
        Sys_UseWorkingFolder();
        Sys_FailWritesAfter(-1);
        for (size_t i = 0; i < saved_.size(); i++) {
            if (saved_set_[i])
                setenv(XdgVariables[i], saved_[i].c_str(), 1);
            else
                unsetenv(XdgVariables[i]);
        }
    }
    bool Locate() { return Sys_LocateFiles(root_ + "/prefix/bin/kordax", messages_); }
    bool Save(const char *name, const std::string &text) { return Sys_SaveFile(name, text.data(), text.size()); }
    std::string Read(const char *name)
    {
        std::string text;
        if (FILE *f = Sys_FOpen(name, "rb")) {
            char buffer[64];
            size_t n = fread(buffer, 1, sizeof buffer, f);
            text.assign(buffer, n);
            fclose(f);
        }
        return text;
    }

    KxTempDir tmp_;
    std::string root_, home_, work_;
    std::vector<std::string> messages_;
    std::vector<std::string> saved_;
    std::vector<bool> saved_set_;
};

TEST_F(FileLocations, AWorkingFolderWithGfxKeepsEverythingInPlace)
{
    mkdir("gfx", 0755);
    ASSERT_TRUE(Locate());
    EXPECT_TRUE(messages_.empty());
    ASSERT_TRUE(Save("kordax.ini", "keys"));
    EXPECT_EQ(KxReadFile(work_ + "/kordax.ini"), "keys");
    EXPECT_EQ(Entries(home_), 0);
}

TEST_F(FileLocations, InstalledDataComesFromBesideTheProgramAndPlayerFilesFromXdgDefaults)
{
    ASSERT_TRUE(Locate());
    EXPECT_TRUE(messages_.empty());
    EXPECT_EQ(Read("gfx\\a.txt"), "art");
    const struct {
        const char *name;
        const char *folder;
    } files[] = {
        { "kordax.ini", "/.config/kordax/" },
        { "kordax-display.ini", "/.config/kordax/" },
        { "kx_scores.dat", "/.local/share/kordax/" },
        { "dderrors.log", "/.local/state/kordax/" },
    };
    for (const auto &f : files) {
        ASSERT_TRUE(Save(f.name, f.name)) << f.name;
        EXPECT_EQ(KxReadFile(home_ + f.folder + f.name), f.name);
        EXPECT_EQ(Read(f.name), f.name);
    }
    // The log is opened for writing rather than saved whole.
    FILE *log = Sys_FOpen("dderrors.log", "w");
    ASSERT_NE(log, nullptr);
    fclose(log);
    EXPECT_EQ(KxReadFile(home_ + "/.local/state/kordax/dderrors.log"), "");
    EXPECT_EQ(Entries(work_), 0);
}

TEST_F(FileLocations, AbsoluteXdgFoldersAreUsedAndRelativeOrEmptyOnesIgnored)
{
    std::string config = root_ + "/elsewhere/config"; // its parent is created too
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    setenv("XDG_DATA_HOME", "relative/data", 1);
    setenv("XDG_STATE_HOME", "", 1);
    ASSERT_TRUE(Locate());
    EXPECT_TRUE(messages_.empty());
    ASSERT_TRUE(Save("kordax.ini", "k"));
    ASSERT_TRUE(Save("kx_scores.dat", "s"));
    ASSERT_TRUE(Save("dderrors.log", "l"));
    EXPECT_EQ(KxReadFile(config + "/kordax/kordax.ini"), "k");
    EXPECT_EQ(KxReadFile(home_ + "/.local/share/kordax/kx_scores.dat"), "s");
    EXPECT_EQ(KxReadFile(home_ + "/.local/state/kordax/dderrors.log"), "l");
    EXPECT_FALSE(Exists(work_ + "/relative"));
}

TEST_F(FileLocations, AFailedSaveInAnXdgFolderLeavesTheOldFile)
{
    ASSERT_TRUE(Locate());
    ASSERT_TRUE(Save("kx_scores.dat", "old scores"));
    Sys_FailWritesAfter(3);
    EXPECT_FALSE(Save("kx_scores.dat", "new scores"));
    std::string folder = home_ + "/.local/share/kordax";
    EXPECT_EQ(KxReadFile(folder + "/kx_scores.dat"), "old scores");
    EXPECT_EQ(Entries(folder), 1);
}

TEST_F(FileLocations, WithoutAHomeTheGamePlaysAndKeepsNothing)
{
    std::string missing = root_ + "/nobody";
    setenv("HOME", missing.c_str(), 1);
    ASSERT_TRUE(Locate());
    ASSERT_EQ(messages_.size(), 3u);
    for (const char *name : { "kordax.ini", "kx_scores.dat", "dderrors.log" }) {
        bool named = false;
        for (const std::string &m : messages_)
            named = named || (m.find(name) == 0 && m.find(missing) != std::string::npos);
        EXPECT_TRUE(named) << name;
        EXPECT_FALSE(Save(name, "x")) << name;
        EXPECT_EQ(Sys_FOpen(name, "w"), nullptr) << name;
    }
    EXPECT_EQ(Read("gfx\\a.txt"), "art");
    EXPECT_FALSE(Exists(missing));
    EXPECT_EQ(Entries(work_), 0);
}

TEST_F(FileLocations, AFolderThatCannotBeMadeCostsOnlyItsOwnFile)
{
    std::string blocker = root_ + "/a-file";
    KxWriteFile(blocker, "");
    setenv("XDG_DATA_HOME", blocker.c_str(), 1);
    ASSERT_TRUE(Locate());
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0], "kx_scores.dat will not be kept: cannot create " + blocker + "/kordax (" +
                                strerror(ENOTDIR) + ")");
    EXPECT_FALSE(Save("kx_scores.dat", "s"));
    EXPECT_TRUE(Save("kordax.ini", "k"));
    EXPECT_EQ(Entries(work_), 0);
}

TEST_F(FileLocations, NoDataFolderNamesTheFoldersTried)
{
    ASSERT_EQ(system(("rm -rf '" + root_ + "/prefix/share'").c_str()), 0);
    EXPECT_FALSE(Locate());
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_NE(messages_[0].find("(" + work_ + ")"), std::string::npos) << messages_[0];
    EXPECT_NE(messages_[0].find(root_ + "/prefix/share/kordax"), std::string::npos) << messages_[0];
    EXPECT_EQ(Entries(home_), 0);
}

} // namespace
