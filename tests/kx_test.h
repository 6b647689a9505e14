// Helpers shared by the test programs: a scratch working directory and file utilities.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

// Runs a test inside a fresh temporary directory, so logs and saved files never collide.
class KxTempDir {
public:
    KxTempDir()
    {
        char pattern[] = "/tmp/kx_test_XXXXXX";
        const char *dir = mkdtemp(pattern);
        path_ = dir ? dir : "/tmp";
        char *cwd = getcwd(nullptr, 0);
        old_ = cwd ? cwd : ".";
        free(cwd);
        if (chdir(path_.c_str()) != 0)
            perror("chdir");
    }
    ~KxTempDir()
    {
        if (chdir(old_.c_str()) != 0)
            perror("chdir");
        std::string cmd = "rm -rf '" + path_ + "'";
        if (system(cmd.c_str()) != 0)
            perror("rm");
    }
    const std::string &Path() const { return path_; }

private:
    std::string path_;
    std::string old_;
};

inline std::string KxReadFile(const std::string &path)
{
    std::string data;
    FILE *f = fopen(path.c_str(), "rb");
    if (!f)
        return data;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, f)) > 0)
        data.append(buffer, n);
    fclose(f);
    return data;
}

inline void KxWriteFile(const std::string &path, const std::string &data)
{
    FILE *f = fopen(path.c_str(), "wb");
    if (!f)
        return;
    fwrite(data.data(), 1, data.size(), f);
    fclose(f);
}
