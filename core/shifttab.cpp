// Apart from the game's headers: X's own names (Cursor, KeyCode) clash with them.
#include "core/shifttab.h"

#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

void ShiftTab::typeTab() {
    Display* display = glXGetCurrentDisplay();
    if (display == nullptr) {
        return;
    }
    // Shift selects the key's second level, so it is no longer part of the
    // state the lookup compares: the binding is for no modifiers (which also
    // keeps Xlib from locking the display a second time to look modifiers up).
    const unsigned char tab[] = {'\t'};
    XRebindKeysym(display, XK_ISO_Left_Tab, nullptr, 0, tab, sizeof tab);
}
