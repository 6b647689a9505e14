// File writers for the asset generator: BMP (24, 8 and 1 bit), WAV, text, and output paths.
#include "ag_io.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

static std::string AG_RunDir = ".";

void AG_SetRunDir(const std::string &dir) { AG_RunDir = dir; }
std::string AG_GfxPath(const std::string &name) { return AG_RunDir + "/gfx/" + name; }
std::string AG_SoundPath(const std::string &name) { return AG_RunDir + "/sound/" + name; }

// Files being written: each goes to a ".part" twin first and is renamed into place only when whole,
// so a failure (on either thread) can sweep away what was half written.
static std::mutex AG_PartLock;
static std::set<std::string> AG_Parts;

static std::string AG_MakeDir(const std::string &path)
{
    struct stat st;
    if (stat(path.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode) ? "" : path + " is not a folder";
    if (mkdir(path.c_str(), 0755) != 0)
        return "cannot create output folder " + path + ": " + std::strerror(errno);
    return "";
}

std::string AG_MakeDirs()
{
    for (const std::string &dir : {AG_RunDir, AG_RunDir + "/gfx", AG_RunDir + "/sound"}) {
        std::string err = AG_MakeDir(dir);
        if (err.empty() && access(dir.c_str(), W_OK | X_OK) != 0)
            err = "cannot write to output folder " + dir + ": " + std::strerror(errno);
        if (!err.empty())
            return err;
    }
    return "";
}

void AG_Fail(const std::string &what)
{
    std::lock_guard<std::mutex> hold(AG_PartLock);
    for (const std::string &part : AG_Parts)
        std::remove(part.c_str());
    std::fprintf(stderr, "assetgen: %s\n", what.c_str());
    std::_Exit(1); // the other thread may still be running: no exit handlers
}

static void AG_Put16(std::vector<uint8_t> &b, uint32_t v)
{
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}

static void AG_Put32(std::vector<uint8_t> &b, uint32_t v)
{
    AG_Put16(b, v & 0xFFFF);
    AG_Put16(b, v >> 16);
}

void AG_WriteBytes(const std::string &path, const std::vector<uint8_t> &bytes)
{
    std::string part = path + ".part";
    {
        std::lock_guard<std::mutex> hold(AG_PartLock);
        AG_Parts.insert(part);
    }
    FILE *f = std::fopen(part.c_str(), "wb");
    if (!f)
        AG_Fail("cannot write " + path + ": " + std::strerror(errno));
    size_t n = std::fwrite(bytes.data(), 1, bytes.size(), f);
    if (std::fclose(f) != 0 || n != bytes.size())
        AG_Fail("short write to " + path);
    if (std::rename(part.c_str(), path.c_str()) != 0)
        AG_Fail("cannot write " + path + ": " + std::strerror(errno));
    std::lock_guard<std::mutex> hold(AG_PartLock);
    AG_Parts.erase(part);
}

// BITMAPFILEHEADER + BITMAPINFOHEADER as Windows writes them; rows bottom-up, padded to 4 bytes.
static std::vector<uint8_t> AG_BMPHeader(int width, int height, int bpp, int colours, uint32_t imageSize)
{
    std::vector<uint8_t> b;
    uint32_t offset = 14 + 40 + 4 * colours;
    b.push_back('B');
    b.push_back('M');
    AG_Put32(b, offset + imageSize);
    AG_Put32(b, 0);
    AG_Put32(b, offset);
    AG_Put32(b, 40);
    AG_Put32(b, uint32_t(width));
    AG_Put32(b, uint32_t(height));
    AG_Put16(b, 1);
    AG_Put16(b, uint32_t(bpp));
    AG_Put32(b, 0);
    AG_Put32(b, imageSize);
    AG_Put32(b, 2835);
    AG_Put32(b, 2835);
    AG_Put32(b, uint32_t(colours));
    AG_Put32(b, 0);
    return b;
}

static int AG_RowBytes(int width, int bpp) { return ((width * bpp + 31) / 32) * 4; }

void AG_WriteBMP24(const std::string &path, int width, int height, const std::vector<uint8_t> &rgb)
{
    if (rgb.size() != size_t(width) * height * 3)
        AG_Fail("bad pixel buffer for " + path);
    int stride = AG_RowBytes(width, 24);
    std::vector<uint8_t> b = AG_BMPHeader(width, height, 24, 0, uint32_t(stride * height));
    for (int y = height - 1; y >= 0; y--) {
        const uint8_t *row = &rgb[size_t(y) * width * 3];
        for (int x = 0; x < width; x++) {
            b.push_back(row[x * 3 + 2]);
            b.push_back(row[x * 3 + 1]);
            b.push_back(row[x * 3 + 0]);
        }
        for (int p = width * 3; p < stride; p++)
            b.push_back(0);
    }
    AG_WriteBytes(path, b);
}

void AG_WriteBMP8(const std::string &path, int width, int height, const std::vector<uint8_t> &idx,
                  const std::vector<uint8_t> &palette)
{
    if (idx.size() != size_t(width) * height || palette.size() != 256 * 3)
        AG_Fail("bad pixel buffer for " + path);
    int stride = AG_RowBytes(width, 8);
    std::vector<uint8_t> b = AG_BMPHeader(width, height, 8, 256, uint32_t(stride * height));
    for (int i = 0; i < 256; i++) {
        b.push_back(palette[i * 3 + 2]);
        b.push_back(palette[i * 3 + 1]);
        b.push_back(palette[i * 3 + 0]);
        b.push_back(0);
    }
    for (int y = height - 1; y >= 0; y--) {
        b.insert(b.end(), idx.begin() + size_t(y) * width, idx.begin() + size_t(y + 1) * width);
        for (int p = width; p < stride; p++)
            b.push_back(0);
    }
    AG_WriteBytes(path, b);
}

void AG_WriteBMP1(const std::string &path, int width, int height, const std::vector<uint8_t> &bits)
{
    if (bits.size() != size_t(width) * height)
        AG_Fail("bad mask buffer for " + path);
    int stride = AG_RowBytes(width, 1);
    std::vector<uint8_t> b = AG_BMPHeader(width, height, 1, 2, uint32_t(stride * height));
    // Entry 0 black (empty), entry 1 white (solid).
    for (int i = 0; i < 4; i++)
        b.push_back(0);
    for (int i = 0; i < 3; i++)
        b.push_back(255);
    b.push_back(0);
    for (int y = height - 1; y >= 0; y--) {
        std::vector<uint8_t> row(size_t(stride), 0);
        for (int x = 0; x < width; x++)
            if (bits[size_t(y) * width + x])
                row[size_t(x / 8)] |= uint8_t(0x80 >> (x % 8));
        b.insert(b.end(), row.begin(), row.end());
    }
    AG_WriteBytes(path, b);
}

void AG_WriteWAV(const std::string &path, const std::vector<int16_t> &samples, int channels)
{
    std::vector<uint8_t> b;
    uint32_t dataBytes = uint32_t(samples.size() * 2);
    b.insert(b.end(), {'R', 'I', 'F', 'F'});
    AG_Put32(b, 36 + dataBytes);
    b.insert(b.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    AG_Put32(b, 16);
    AG_Put16(b, 1);
    AG_Put16(b, uint32_t(channels));
    AG_Put32(b, 44100);
    AG_Put32(b, 44100u * 2 * uint32_t(channels));
    AG_Put16(b, uint32_t(2 * channels));
    AG_Put16(b, 16);
    b.insert(b.end(), {'d', 'a', 't', 'a'});
    AG_Put32(b, dataBytes);
    for (int16_t s : samples)
        AG_Put16(b, uint16_t(s));
    AG_WriteBytes(path, b);
}

void AG_WriteText(const std::string &path, const std::string &text)
{
    AG_WriteBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}
