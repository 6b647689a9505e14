// Where the game's files live: in place, or installed with the player's files in the XDG folders.
#include "sys_file.h"
#include "sys_display.h"
#include "sys_harness.h"
#include "sys_report.h"
#include "kx_config.h"
#include "kx_scores.h"
#include "dd_input.h"
#include "kx_test.h"
#include "script/log_capture.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

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

TEST_F(FileLocations, AFolderThatCannotBeMadeCostsOnlyItsOwnFileAndSaysWhy)
{
    std::string blocker = root_ + "/a-file", loop = root_ + "/loop", nowhere = root_ + "/nowhere";
    KxWriteFile(blocker, "");
    ASSERT_EQ(mkdir(loop.c_str(), 0700), 0);
    ASSERT_EQ(symlink((loop + "/kordax").c_str(), (loop + "/kordax").c_str()), 0); // a link to itself
    ASSERT_EQ(symlink((root_ + "/gone").c_str(), nowhere.c_str()), 0);
    const struct {
        std::string base;
        int error;
    } rows[] = { { blocker, ENOTDIR }, { loop, ELOOP }, { nowhere + "/sub", ENOENT } };
    for (const auto &row : rows) {
        setenv("XDG_DATA_HOME", row.base.c_str(), 1);
        ASSERT_TRUE(Locate());
        ASSERT_EQ(messages_.size(), 1u);
        EXPECT_EQ(messages_[0], "kx_scores.dat will not be kept: cannot create " + row.base + "/kordax (" +
                                    strerror(row.error) + ")");
        EXPECT_FALSE(Save("kx_scores.dat", "s"));
        EXPECT_TRUE(Save("kordax.ini", "k"));
    }
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

// A player's file that is there but cannot be opened, may not be written or is no plain file is
// never replaced, in place or installed, with a line saying why; only a file that is not there is
// written, and a linked one is written where it points, keeping its mode. Run as an ordinary user,
// since modes do not hold against root.
TEST_F(FileLocations, PlayerFilesThatCannotBeReadOrWrittenAreNeverReplaced)
{
    const struct {
        const char *state;
        char kind; // f a file of fileMode, - none, p a FIFO, d a folder, l a link to a file of fileMode
        int fileMode, folderMode;
        bool noDescriptors, replaced;
        const char *lines[3]; // kordax.ini, kx_scores.dat, kordax-display.ini
    } states[] = {
        { "unreadable", 'f', 0, 0700, false, false,
          { "'kordax.ini' is unreadable;", "'kx_scores.dat' is unreadable;",
            "cannot read kordax-display.ini (Permission denied)" } },
        { "write-only", 'f', 0200, 0700, false, false,
          { "'kordax.ini' is unreadable;", "'kx_scores.dat' is unreadable;",
            "cannot read kordax-display.ini (Permission denied)" } },
        { "read-only", 'f', 0444, 0700, false, false,
          { "'kordax.ini' is read-only;", "'kx_scores.dat' is read-only;", "save kordax-display.ini (read-only)" } },
        { "missing", '-', 0, 0700, false, true, { "Using default configuration.", "initialising scores to defaults", "" } },
        { "folder unsearchable", 'f', 0644, 0, false, false,
          { "'kordax.ini' is unreadable;", "'kx_scores.dat' is unreadable;",
            "cannot read kordax-display.ini (Permission denied)" } },
        { "folder read-only", 'f', 0644, 0500, false, false,
          { "(Permission denied), keys not saved.", "(Permission denied), scores not saved",
            "save kordax-display.ini (Permission denied)" } },
        { "no descriptors left", 'f', 0644, 0700, true, false,
          { "'kordax.ini' is unreadable (Too many open files);", "'kx_scores.dat' is unreadable (Too many open files);",
            "cannot read kordax-display.ini (Too many open files)" } },
        { "a FIFO", 'p', 0644, 0700, false, false,
          { "'kordax.ini' is a FIFO;", "'kx_scores.dat' is a FIFO;", "save kordax-display.ini (a FIFO)" } },
        { "a folder", 'd', 0755, 0700, false, false,
          { "'kordax.ini' is a folder;", "'kx_scores.dat' is a folder;", "cannot read kordax-display.ini (Is a directory)" } },
        { "linked", 'l', 0640, 0700, false, true, { "'kordax.ini' was damaged (line 7", "", "" } },
    };
    const char *const names[] = { "kordax.ini", "kx_scores.dat", SYS_DISPLAY_FILE };
    std::string custom(KX_SCORE_FILE_SIZE, 'k');
    custom.replace(0, 30, "[KORDAX]\n[P1_INPUT]\n1\n2\n3\n4\n");
    std::string dotfiles = root_ + "/dotfiles";
    for (bool inPlace : { true, false })
        for (int file = 0; file < 3; file++)
            for (const auto &c : states) {
                std::string scenario = std::string(inPlace ? "in place, " : "installed, ") + names[file] + " " + c.state;
                int out[2];
                ASSERT_EQ(pipe(out), 0);
                pid_t child = fork();
                ASSERT_GE(child, 0);
                if (child == 0) {
                    mkdir(dotfiles.c_str(), 0700);
                    if (geteuid() == 0) {
                        for (const std::string &d : { root_, home_, work_, dotfiles })
                            if (chown(d.c_str(), 65534, 65534) != 0)
                                _exit(2);
                        if (setuid(65534) != 0)
                            _exit(2);
                    }
                    if (inPlace)
                        mkdir("gfx", 0755);
                    Locate();
                    const char *name = names[file];
                    std::string folder = inPlace ? work_ : home_ + (file == 1 ? "/.local/share/kordax" : "/.config/kordax");
                    std::string path = folder + "/" + name;
                    std::string real = c.kind == 'l' ? dotfiles + "/" + name : path; // where the bytes lie
                    if (c.kind == 'f' || c.kind == 'l') {
                        KxWriteFile(real, custom);
                        chmod(real.c_str(), (mode_t)c.fileMode);
                    }
                    if ((c.kind == 'l' && symlink(real.c_str(), path.c_str()) != 0) ||
                        (c.kind == 'p' && mkfifo(path.c_str(), 0644) != 0) || (c.kind == 'd' && mkdir(path.c_str(), 0755) != 0))
                        _exit(3);
                    chmod(folder.c_str(), (mode_t)c.folderMode);
                    LogCapture log;
                    Sys_SetReportLog([](const char *line) {
                        DDErrorLog(line);
                        return true;
                    });
                    std::vector<int> held;
                    struct rlimit few = { 64, 64 };
                    if (c.noDescriptors && setrlimit(RLIMIT_NOFILE, &few) == 0)
                        for (int fd = 0; fd >= 0; held.push_back(fd))
                            fd = open("/dev/null", O_RDONLY);
                    if (file == 0) {
                        ReadIniFile();
                        P1InputKeys[6] = 70;
                        WriteIniFile();
                    } else if (file == 1) {
                        KX_ScoresLoaded = false;
                        KX_PANEL_SCORES_Initialise();
                        KX_Scores[0].Score = 999999;
                        KX_PANEL_SCORES_Save();
                    } else {
                        Sys_ResetDisplayChoices();
                        Sys_LoadDisplayChoices(SysOptions());
                        Sys_ChooseFullscreen(false);
                        Sys_FlushDisplayChoices();
                        Sys_ResetDisplayChoices();
                    }
                    Sys_SetReportLog(nullptr);
                    for (int fd : held)
                        close(fd);
                    chmod(folder.c_str(), 0700);
                    struct stat st, at;
                    bool kept = lstat(path.c_str(), &at) == 0 && stat(real.c_str(), &st) == 0;
                    chmod(real.c_str(), 0644);
                    std::string now = c.kind == 'p' ? "" : KxReadFile(real);
                    std::string failure;
                    if (!log.Contains(c.lines[file]))
                        failure = "log lacks the line:\n" + log.Text();
                    else if (log.Text().find("not saved") != log.Text().rfind("not saved"))
                        failure = "said twice:\n" + log.Text();
                    else if (c.kind != '-' && (!kept || (at.st_mode & S_IFMT) != (c.kind == 'l' ? S_IFLNK
                                                                            : c.kind == 'p' ? S_IFIFO
                                                                            : c.kind == 'd' ? S_IFDIR : S_IFREG)))
                        failure = "not left in its place as it was";
                    else if (c.kind == 'l' && (st.st_mode & 0777) != (mode_t)c.fileMode)
                        failure = "mode not kept: " + std::to_string(st.st_mode & 0777);
                    else if (!c.replaced && c.kind != 'p' && c.kind != 'd' && now != custom)
                        failure = "replaced: " + now.substr(0, 40);
                    else if (c.replaced && (now.empty() || now == custom))
                        failure = "not written";
                    (void)!write(out[1], failure.data(), failure.size());
                    _exit(0);
                }
                close(out[1]);
                char buffer[4096];
                ssize_t n = read(out[0], buffer, sizeof buffer);
                close(out[0]);
                int status = 0;
                waitpid(child, &status, 0);
                EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << scenario;
                EXPECT_EQ(std::string(buffer, n > 0 ? (size_t)n : 0), "") << scenario;
                ASSERT_EQ(system(("rm -rf '" + home_ + "'/.[a-z]* '" + work_ + "'/* '" + dotfiles + "'").c_str()), 0);
            }
}

} // namespace
