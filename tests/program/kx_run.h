// Runs the real executable headless in a scratch directory and reads what it leaves behind.
#pragma once

#include "kx_test.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>
#include <zlib.h>

struct KxRun {
    int exitCode = -1;
    std::string out; // stdout and stderr together
    std::string log; // dderrors.log
};

// Writes the script, runs `kordax <args> --headless --script script.txt` in the current directory.
inline KxRun KxRunGame(const std::string &script, const std::string &args = "")
{
    KxWriteFile("script.txt", script);
    std::string run = KORDAX_RUN_DIR;
    for (const char *sub : { "gfx", "sound" }) {
        std::string link = std::string("ln -sfn '") + run + "/" + sub + "' " + sub;
        if (system(link.c_str()) != 0)
            break;
    }
    std::string cmd = "'" + run + "/kordax' " + args + " --headless --script script.txt > out.txt 2>&1";
    KxRun r;
    int status = system(cmd.c_str());
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = KxReadFile("out.txt");
    r.log = KxReadFile("dderrors.log");
    return r;
}

// Reads a PNG written by the game's own writer (8-bit RGB or RGBA, deflated, filtered rows) into
// R,G,B bytes, or R,G,B,A bytes when channels is given (set to 3 or 4).
inline bool KxReadPNG(const std::string &path, std::vector<uint8_t> &rgb, int &w, int &h, int *channels = nullptr)
{
    int bpp = 3;
    w = h = 0;
    std::string f = KxReadFile(path);
    if (f.size() < 8 || f.compare(1, 3, "PNG") != 0)
        return false;
    auto be32 = [&](size_t at) {
        return (uint32_t)(uint8_t)f[at] << 24 | (uint32_t)(uint8_t)f[at + 1] << 16 | (uint32_t)(uint8_t)f[at + 2] << 8 |
               (uint8_t)f[at + 3];
    };
    std::string z;
    size_t at = 8;
    while (at + 12 <= f.size()) {
        uint32_t len = be32(at);
        std::string type = f.substr(at + 4, 4);
        if (type == "IHDR") {
            w = (int)be32(at + 8);
            h = (int)be32(at + 12);
            bpp = f[at + 17] == 6 ? 4 : 3;
        } else if (type == "IDAT") {
            z += f.substr(at + 8, len);
        }
        at += 12 + len;
    }
    if (w <= 0 || h <= 0 || w > 16384 || h > 16384)
        return false;
    size_t stride = (size_t)w * bpp;
    std::string raw((stride + 1) * h + 1, '\0'); // one spare byte: a longer stream fails the size check
    uLongf rawSize = (uLongf)raw.size();
    if (uncompress((Bytef *)&raw[0], &rawSize, (const Bytef *)z.data(), (uLong)z.size()) != Z_OK)
        return false;
    raw.resize(rawSize);
    if (raw.size() == (stride + 1) * h) {
        // Undo the row filters: none, sub, up, average, Paeth.
        for (int y = 0; y < h; y++) {
            uint8_t *r = (uint8_t *)&raw[y * (stride + 1)];
            const uint8_t *up = y > 0 ? r - (stride + 1) : nullptr;
            for (size_t i = 1; i <= stride; i++) {
                int a = i > (size_t)bpp ? r[i - bpp] : 0, b = up ? up[i] : 0, c = up && i > (size_t)bpp ? up[i - bpp] : 0;
                int p = a + b - c, pa = abs(p - a), pb = abs(p - b), pc = abs(p - c);
                int paeth = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
                int predicted[5] = { 0, a, b, (a + b) / 2, paeth };
                if (r[0] > 4)
                    return false;
                r[i] = (uint8_t)(r[i] + predicted[r[0]]);
            }
        }
    }
    if (raw.size() != (size_t)(w * bpp + 1) * h || (bpp == 4 && !channels))
        return false;
    if (channels)
        *channels = bpp;
    rgb.clear();
    for (int y = 0; y < h; y++)
        rgb.insert(rgb.end(), raw.begin() + y * (w * bpp + 1) + 1, raw.begin() + (y + 1) * (w * bpp + 1));
    return true;
}
