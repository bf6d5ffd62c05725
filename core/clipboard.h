#pragma once

#include <string>

// The text of the window system's clipboard (X11's CLIPBOARD selection),
// for pasting into a text field. GLUT has no clipboard of its own.
namespace Clipboard {

// What the clipboard holds as text, at most kMaxBytes of it; empty without
// an X display, without an owner, or when the owner does not answer within
// kWaitMs.
std::string text();

constexpr int kWaitMs = 250;
constexpr long kMaxBytes = 4096;

} // namespace Clipboard
