#include "core/glutcallbacks.h"

#include "core/main.h"
#include "core/system.h"
#include "input/inputevent.h"

#include "core/shifttab.h"

#include <GL/freeglut.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <exception>

namespace {

constexpr int kLastControlLetter = 26;

template <typename Body>
void guarded(Body body) {
    try {
        body();
    } catch (const std::exception& e) {
        GlutCallbacks::failFatally(e.what());
    } catch (...) {
        GlutCallbacks::failFatally(nullptr);
    }
}

int translateSpecialKey(int key) {
    switch (key) {
    case GLUT_KEY_RIGHT:
        return KeyArrowRight;
    case GLUT_KEY_UP:
        return KeyArrowUp;
    case GLUT_KEY_LEFT:
        return KeyArrowLeft;
    case GLUT_KEY_DOWN:
        return KeyArrowDown;
    case GLUT_KEY_HOME:
        return KeyHome;
    case GLUT_KEY_END:
        return KeyEnd;
    default:
        break;
    }
    if (key >= GLUT_KEY_F1 && key <= GLUT_KEY_F12) {
        return KeyF1 + (key - GLUT_KEY_F1);
    }
    return 0;
}

// The modifier keys GLUT reports held with the key being handled.
int heldModifiers() {
    // The handlers also run without GLUT (the tests call them): nothing held.
    if (glutGet(GLUT_INIT_STATE) == 0) {
        return 0;
    }
    const int held = glutGetModifiers();
    return ((held & GLUT_ACTIVE_SHIFT) != 0 ? ModShift : 0) | ((held & GLUT_ACTIVE_CTRL) != 0 ? ModCtrl : 0) |
           ((held & GLUT_ACTIVE_ALT) != 0 ? ModAlt : 0);
}

// A letter typed with Ctrl arrives as its control character (Ctrl+Z as 26),
// and its release as whatever the modifiers make of it at that moment, so
// the release ends every form of the letter: a press left open would turn
// each later press of that key into a repeat, which is dropped.
void releaseKey(unsigned char key) {
    System* system = System::instance();
    const int modifiers = heldModifiers();
    system->keyUp(key, modifiers);
    int letter = 0;
    if (key >= 1 && key <= kLastControlLetter) {
        letter = 'a' + key - 1;
    } else if (std::isalpha(key) != 0) {
        letter = std::tolower(key);
    }
    if (letter == 0) {
        return;
    }
    for (const int form : {letter, std::toupper(letter), letter - 'a' + 1}) {
        if (form != key) {
            system->keyUp(form, modifiers);
        }
    }
}

template <void (System::*handle)(int, int)>
void special(int key) {
    guarded([&] {
        const int code = translateSpecialKey(key);
        if (code > 0) {
            (System::instance()->*handle)(code, heldModifiers());
        }
    });
}

} // namespace

void GlutCallbacks::registerAll() {
    ShiftTab::typeTab();
    glutSpecialFunc(specialDown);
    glutSpecialUpFunc(specialUp);
    glutKeyboardFunc(keyboardDown);
    glutKeyboardUpFunc(keyboardUp);
    glutPassiveMotionFunc(motion);
    glutMotionFunc(motion);
    glutMouseFunc(mouse);
    glutEntryFunc(entry);
    glutDisplayFunc(display);
    glutIdleFunc(idle);
    glutReshapeFunc(reshape);
    glutCloseFunc(close);
}

void GlutCallbacks::specialDown(int key, int, int) {
    special<&System::keyDown>(key);
}

void GlutCallbacks::specialUp(int key, int, int) {
    special<&System::keyUp>(key);
}

void GlutCallbacks::keyboardDown(unsigned char key, int, int) {
    guarded([&] { System::instance()->keyDown(key, heldModifiers()); });
}

void GlutCallbacks::keyboardUp(unsigned char key, int, int) {
    guarded([&] { releaseKey(key); });
}

void GlutCallbacks::motion(int x, int y) {
    guarded([&] { System::instance()->motion(x, y); });
}

void GlutCallbacks::mouse(int button, int state, int x, int y) {
    if (button < GLUT_LEFT_BUTTON || button > GLUT_RIGHT_BUTTON) {
        return;
    }
    guarded([&] {
        System* system = System::instance();
        system->motion(x, y);
        const int key = KeyMouseLeft + button;
        if (state == GLUT_DOWN) {
            system->keyDown(key);
        } else {
            system->keyUp(key);
        }
    });
}

void GlutCallbacks::entry(int state) {
    if (state == GLUT_LEFT) {
        guarded([] { System::instance()->pointerLeft(); });
    }
}

void GlutCallbacks::display() {
    guarded([] { System::instance()->display(); });
}

void GlutCallbacks::idle() {
    glutPostRedisplay();
}

void GlutCallbacks::reshape(int width, int height) {
    guarded([&] { System::instance()->reshape(width, height); });
}

void GlutCallbacks::close() {
    // GLUT also destroys the window while the process exits: after a failed
    // start (its exit code must stand) and after quit() itself.
    if (Main::existing() == nullptr) {
        return;
    }
    guarded([] { System::instance()->quit(); });
}

void GlutCallbacks::failFatally(const char* what) {
    if (what != nullptr) {
        std::fprintf(stderr, "Sporrik: unhandled exception: %s\n", what);
    } else {
        std::fputs("Sporrik: unhandled exception\n", stderr);
    }
    std::fflush(nullptr);
    std::_Exit(EXIT_FAILURE);
}
