#pragma once

// Shift+Tab on an X display: the key types ISO_Left_Tab, which has no
// character, and GLUT drops it.
namespace ShiftTab {

// Makes the key lookup of the current GLX display give a tab for it, which
// GLUT then reports as a tab with Shift held. Needs the window's context;
// does nothing without a GLX display.
void typeTab();

} // namespace ShiftTab
