#include "support/glcontext.h"

#include <GL/glew.h>
#include <GL/freeglut.h>

#include <cstdio>
#include <cstdlib>
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

} // namespace GlTest
