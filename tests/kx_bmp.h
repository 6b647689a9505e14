// BMP files built in memory, shared by the tests, the benchmarks and the fuzz targets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// Bytes in one row of a w-pixel image, padded to four bytes as the format wants.
inline size_t KxBmpRowBytes(int w, int bits) { return ((size_t)w * bits + 31) / 32 * 4; }

// Where the pixels of a file with `colours` table entries start.
inline size_t KxBmpOffset(int colours) { return 54 + (size_t)colours * 4; }

// A bottom-up BMP of w x h at `bits` per pixel with `colours` table entries: the headers are
// filled in, the colour table and the pixels are left zero for the caller.
inline std::vector<unsigned char> KxBmpFile(int w, int h, int bits = 24, int colours = 0)
{
    size_t offset = KxBmpOffset(colours);
    std::vector<unsigned char> file(offset + KxBmpRowBytes(w, bits) * h, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; i++)
            file[at + i] = (unsigned char)(v >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, (uint32_t)file.size());
    put32(10, (uint32_t)offset);
    put32(14, 40);
    put32(18, (uint32_t)w);
    put32(22, (uint32_t)h);
    file[26] = 1;
    file[28] = (unsigned char)bits;
    return file;
}

// Writes bytes to a file; false if any of them did not reach it.
inline bool KxSaveBytes(const std::string &path, const void *data, size_t size)
{
    FILE *f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = fwrite(data, 1, size, f) == size;
    return fclose(f) == 0 && ok;
}

inline bool KxSaveBytes(const std::string &path, const std::vector<unsigned char> &file)
{
    return KxSaveBytes(path, file.data(), file.size());
}
