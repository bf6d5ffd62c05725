#include "support/glcontext.h"

#include "support/pngfiles.h"

#include <GL/glew.h>
#include <GL/freeglut.h>

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
    PngFiles::Picture picture;
    picture.width = width;
    picture.height = height;
    picture.colorType = PNG_COLOR_TYPE_RGBA;
    const size_t rowBytes = static_cast<size_t>(width) * 4;
    // The pixels come bottom row first; a picture is stored from the top.
    for (int row = height - 1; row >= 0; --row) {
        const auto first = rgba.begin() + static_cast<std::ptrdiff_t>(row * rowBytes);
        picture.rows.insert(picture.rows.end(), first, first + static_cast<std::ptrdiff_t>(rowBytes));
    }
    PngFiles::write(path, picture);
}

} // namespace GlTest
