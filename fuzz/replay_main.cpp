// Replays fuzz inputs (a seed corpus and every crash kept) as an ordinary test.
#include <cstdint>
#include <cstdio>
#include <dirent.h>
#include <string>
#include <sys/stat.h>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

static bool Replay(const std::string &path)
{
    FILE *f = fopen(path.c_str(), "rb");
    if (!f)
        return false;
    std::vector<uint8_t> data;
    uint8_t buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, f)) > 0)
        data.insert(data.end(), buffer, buffer + n);
    fclose(f);
    LLVMFuzzerTestOneInput(data.data(), data.size());
    return true;
}

int main(int argc, char **argv)
{
    int count = 0;
    for (int i = 1; i < argc; i++) {
        struct stat st;
        if (stat(argv[i], &st) != 0) {
            fprintf(stderr, "no such corpus: %s\n", argv[i]);
            return 1;
        }
        if (!S_ISDIR(st.st_mode)) {
            count += Replay(argv[i]);
            continue;
        }
        DIR *dir = opendir(argv[i]);
        while (dirent *e = dir ? readdir(dir) : nullptr) {
            if (e->d_name[0] == '.')
                continue;
            count += Replay(std::string(argv[i]) + "/" + e->d_name);
        }
        if (dir)
            closedir(dir);
    }
    printf("replayed %d inputs\n", count);
    return count > 0 ? 0 : 1;
}
