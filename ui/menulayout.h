#pragma once

#include <vector>

class ButtonSimple;
class Control;
class ControlContainer;
class Image;
class Text;

// The one layout every menu uses: the logo above rows of buttons, each row a
// button (or a text field) alone, a label left of its button, or a line of
// text alone. At the text size asked for
// (TextScale) it keeps the places the screens were drawn for where all of it
// fits there; otherwise it stacks the rows tighter, then under a smaller
// logo, then in two columns; and only when none of that fits the window at
// that size, it draws the menu smaller, as large as one of them allows.
// Nothing leaves the window and nothing overlaps, whatever the window and
// the number of rows.
class MenuLayout {
public:
    // The logo's size in pixels at the full window size, and the buttons'
    // height and the labels' gap to their buttons in pixels at text scale 1.
    static constexpr float kLogoWidth = 512.0f;
    static constexpr float kLogoHeight = 128.0f;
    static constexpr float kButtonHeight = 64.0f;
    static constexpr float kLabelGap = 12.0f;

    // One row in pixels at text scale 1; a labelled row's label ends at
    // least kLabelGap left of its button.
    struct Item {
        float buttonWidth = 0.0f;
        bool labelled = false;
        float labelWidth = 0.0f;
        float labelHeight = 0.0f;
        // No button: the label alone, centred in the row's place.
        bool line = false;
    };
    // Where the logo's and the first row's lower edges lie (screen units)
    // when everything fits there.
    struct Anchors {
        float logoBottom;
        float firstRow;
    };
    // Screen units from the window's centre; the lower-left corner.
    struct Box {
        float x = 0.0f;
        float y = 0.0f;
        float width = 0.0f;
        float height = 0.0f;
    };
    struct Placement {
        // The factor the rows' pixel sizes are drawn at, and the logo's.
        float scale = 1.0f;
        float logoScale = 1.0f;
        int columns = 1;
        Box logo;
        std::vector<Box> buttons;
        // Zero-sized for a row without a label.
        std::vector<Box> labels;
    };
    // A row's controls; the label may be null.
    struct Row {
        // A button or a text field; null for a line of text alone.
        Control* control = nullptr;
        // The control's width in pixels at text scale 1.
        float width = 0.0f;
        Text* label = nullptr;

        Row(ButtonSimple* button, Text* label = nullptr);
        Row(Control* control, float width, Text* label = nullptr)
            : control(control), width(width), label(label) {}
        // A line of text in the row's place, centred.
        static Row line(Text* text) { return Row(nullptr, 0.0f, text); }
    };

    static Placement arrange(const std::vector<Item>& items, int viewportWidth, int viewportHeight,
                             float textScale, const Anchors& anchors);

    // Lays the menu out in the container's viewport at the text scale: sets
    // the container's scale, the logo's size and every position. The
    // container is the menu's top one; a label is a Text of its font.
    static void place(ControlContainer& container, Image& logo, const std::vector<Row>& rows,
                      const Anchors& anchors);
};
