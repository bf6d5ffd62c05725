// Times Image2D decoding for each accepted PNG format and the adoption of
// already decoded pixels by a second handle, and prints the figures.
#include "base/exceptions.h"
#include "resources/image.h"

#include <png.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kDefaultSize = 1024;
constexpr int kDefaultRounds = 20;

struct Format {
    const char* name;
    int colorType;
    int channels;
    bool interlaced;
};

const Format kFormats[] = {
    {"rgb", PNG_COLOR_TYPE_RGB, 3, false},           {"rgba", PNG_COLOR_TYPE_RGB_ALPHA, 4, false},
    {"palette", PNG_COLOR_TYPE_PALETTE, 1, false},   {"grey", PNG_COLOR_TYPE_GRAY, 1, false},
    {"rgb interlaced", PNG_COLOR_TYPE_RGB, 3, true},
};

[[noreturn]] void onError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

// Plain data only between setjmp and libpng's longjmp.
bool writePng(std::FILE* file, const Format* format, int size, png_bytepp rows, png_colorp palette) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, onError, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (png == nullptr || info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, size, size, 8, format->colorType,
                 format->interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (format->colorType == PNG_COLOR_TYPE_PALETTE) {
        png_set_PLTE(png, info, palette, 256);
    }
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

// A picture with some structure, so that it compresses like a texture.
bool makeFile(const std::string& path, const Format& format, int size) {
    const size_t rowBytes = static_cast<size_t>(size) * format.channels;
    std::vector<png_byte> pixels(rowBytes * size);
    for (size_t i = 0; i < pixels.size(); ++i) {
        const size_t x = i % rowBytes;
        const size_t y = i / rowBytes;
        pixels[i] = static_cast<png_byte>((x * 3) ^ (y * 5) ^ ((x * y) >> 7));
    }
    std::vector<png_bytep> rows(size);
    for (int y = 0; y < size; ++y) {
        rows[y] = pixels.data() + y * rowBytes;
    }
    std::vector<png_color> palette(256);
    for (int i = 0; i < 256; ++i) {
        palette[i] = {static_cast<png_byte>(i), static_cast<png_byte>(255 - i), static_cast<png_byte>(i / 2)};
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = writePng(file, &format, size, rows.data(), palette.data());
    std::fclose(file);
    return written;
}

double millisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv) {
    const int size = argc > 1 ? std::atoi(argv[1]) : kDefaultSize;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : kDefaultRounds;
    if (size <= 0 || (size & (size - 1)) != 0 || size > Image2D::kMaxSize || rounds <= 0) {
        std::fprintf(stderr, "usage: imagebench [power-of-two size up to %d] [rounds]\n", Image2D::kMaxSize);
        return 1;
    }
    char directory[] = "/tmp/imagebench-XXXXXX";
    if (mkdtemp(directory) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    const double megapixels = static_cast<double>(size) * size / 1e6;
    std::printf("%d x %d pixels, %d rounds each\n", size, size, rounds);
    std::printf("%-16s %12s %12s %14s\n", "format", "ms/decode", "Mpixel/s", "adopt us/handle");
    int status = 0;
    for (const Format& format : kFormats) {
        const std::string path = std::string(directory) + "/bench.png";
        if (!makeFile(path, format, size)) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            status = 1;
            break;
        }
        try {
            const auto decodeStart = std::chrono::steady_clock::now();
            for (int round = 0; round < rounds; ++round) {
                Image2D image(path);
                image.ensureLoaded();
            }
            const double decode = millisecondsSince(decodeStart) / rounds;
            Image2D first(path);
            first.ensureLoaded();
            std::vector<Image2D> others(rounds, Image2D(path));
            const auto adoptStart = std::chrono::steady_clock::now();
            for (Image2D& other : others) {
                other.ensureLoaded();
            }
            const double adopt = millisecondsSince(adoptStart) * 1000.0 / rounds;
            std::printf("%-16s %12.2f %12.1f %14.2f\n", format.name, decode, megapixels / decode * 1000.0,
                        adopt);
        } catch (const InstantiationException& e) {
            std::fprintf(stderr, "%s: %s\n", format.name, e.getMessage().c_str());
            status = 1;
        }
        std::remove(path.c_str());
    }
    rmdir(directory);
    return status;
}
