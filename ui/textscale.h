#pragma once

// How large the game draws its text: the heads-up display, the menus and
// every other screen of text ask here, so that they grow and shrink
// together. Normal follows the window as the screens were laid out: their
// pixel sizes from 1024 x 768 up, shrunk as a whole in a smaller window. The
// other sizes are steps from Normal; on a window taller than the layout,
// Large and Huge also grow with its height, so that Huge fills a large
// screen seen from afar as Normal fills 1024 x 768. The options menu sets
// the size.
class TextScale {
public:
    enum class Size { Small, Normal, Large, Huge };
    static constexpr Size kLargest = Size::Huge;
    // The window size the screens were laid out for.
    static constexpr int kLayoutWidth = 1024;
    static constexpr int kLayoutHeight = 768;

    static void setSize(Size size);
    static Size getSize();
    // A size's factor against Normal.
    static float sizeFactor(Size size);
    // The share of the window's height against the layout's that a size
    // grows to at least; 0 for none.
    static float heightShare(Size size);
    // The window's share: 1 from the layout size up, the tighter ratio below it.
    static float windowFactor(int viewportWidth, int viewportHeight);
    // The factor text and the controls around it are drawn at in a viewport
    // of that size: the window's share times the chosen size's, or its
    // height share if larger.
    static float factor(int viewportWidth, int viewportHeight);
    // The size as the options menu names it.
    static const char* name(Size size);
};
