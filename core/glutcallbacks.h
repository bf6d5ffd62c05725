#pragma once

// The handlers System registers with GLUT. They translate GLUT's keys,
// buttons and window events into the game's input codes and System calls.
// Declared here so that tests can call them exactly as GLUT does, without a
// window.
class GlutCallbacks {
public:
    static void registerAll();

    // GLUT's special keys: arrows and F1 to F12; others are dropped.
    static void specialDown(int key, int x, int y);
    static void specialUp(int key, int x, int y);
    static void keyboardDown(unsigned char key, int x, int y);
    static void keyboardUp(unsigned char key, int x, int y);
    static void motion(int x, int y);
    // The three real buttons; the wheel (buttons 3 and 4) is dropped.
    static void mouse(int button, int state, int x, int y);
    static void entry(int state);
    static void display();
    static void idle();
    static void reshape(int width, int height);
    static void close();

    // Reports an exception that reached a handler and ends the process with
    // exit code 1 at once. Exceptions must not unwind through GLUT's C
    // frames, and std::exit would run freeglut's exit handler, which closes
    // the window: its close handler then tore the half-updated game down and
    // ended the process with code 0 inside the first exit.
    [[noreturn]] static void failFatally(const char* what);
};
