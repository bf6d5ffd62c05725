#include "support/glcontext.h"

#include <GL/glew.h>
#include <GL/freeglut.h>
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <stdexcept>

namespace GlTest {

void ensureContext() {
    static bool ready = false;
    if (ready) {
        return;
    }
    if (std::getenv("DISPLAY") == nullptr) {
        throw std::runtime_error("drawing tests need an X display; run them under xvfb-run");
    }
    int argc = 1;
    char name[] = "sporrik_gl_tests";
    char* argv[] = {name, nullptr};
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGBA | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(kWidth, kHeight);
    glutInitWindowPosition(0, 0);
    glutCreateWindow("Sporrik tests");
    if (glewInit() != GLEW_OK) {
        throw std::runtime_error("glewInit failed");
    }
    glViewport(0, 0, kWidth, kHeight);
    ready = true;
}

std::vector<uint8_t> readPixels(int x, int y, int width, int height) {
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

void savePng(const std::string& path, const std::vector<uint8_t>& rgba, int width, int height) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int row = height - 1; row >= 0; --row) {
        png_write_row(png, rgba.data() + static_cast<size_t>(row) * width * 4);
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
}

} // namespace GlTest
