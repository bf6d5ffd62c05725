// Apart from the game's headers: X's own names (Cursor, KeyCode) clash with them.
#include "core/clipboard.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <chrono>
#include <memory>
#include <poll.h>

namespace {

// A connection of its own: GLUT's event loop would take the selection's
// answer from the game's connection before it could be read.
struct Connection {
    Display* display = nullptr;
    Window window = 0;
    Connection() {
        display = XOpenDisplay(nullptr);
        if (display != nullptr) {
            window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
        }
    }
    ~Connection() {
        if (display != nullptr) {
            XDestroyWindow(display, window);
            XCloseDisplay(display);
        }
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
};

Connection& connection() {
    static Connection shared;
    return shared;
}

// Waits for the owner's answer until the deadline.
bool awaitNotify(Display* display, Window window, XEvent& event) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(Clipboard::kWaitMs);
    while (true) {
        while (XPending(display) > 0) {
            XNextEvent(display, &event);
            if (event.type == SelectionNotify && event.xselection.requestor == window) {
                return true;
            }
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) {
            return false;
        }
        pollfd descriptor{ConnectionNumber(display), POLLIN, 0};
        poll(&descriptor, 1, static_cast<int>(left));
    }
}

} // namespace

std::string Clipboard::text() {
    Connection& c = connection();
    if (c.display == nullptr) {
        return std::string();
    }
    Display* display = c.display;
    const Atom clipboard = XInternAtom(display, "CLIPBOARD", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    const Atom property = XInternAtom(display, "SPORRIK_PASTE", False);
    if (XGetSelectionOwner(display, clipboard) == None) {
        return std::string();
    }
    XConvertSelection(display, clipboard, utf8, property, c.window, CurrentTime);
    XFlush(display);
    XEvent event;
    if (!awaitNotify(display, c.window, event) || event.xselection.property == None) {
        return std::string();
    }
    Atom type = None;
    int format = 0;
    unsigned long items = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    std::string result;
    // The length is in 32-bit units.
    if (XGetWindowProperty(display, c.window, property, 0, kMaxBytes / 4, True, AnyPropertyType, &type,
                           &format, &items, &remaining, &data) == Success &&
        data != nullptr) {
        if (format == 8 && (type == utf8 || type == XA_STRING)) {
            result.assign(reinterpret_cast<const char*>(data), items);
        }
        XFree(data);
    }
    return result;
}
