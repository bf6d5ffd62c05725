#include "ui/menulayout.h"

#include "ui/buttonsimple.h"
#include "ui/controlcontainer.h"
#include "ui/font.h"
#include "ui/image.h"
#include "ui/text.h"
#include "ui/textscale.h"

#include <algorithm>
#include <cmath>

namespace {

// From one row's lower edge to the next's, in button heights: the usual
// step, and the tighter one a crowded menu takes (the focus frames still
// keep apart).
constexpr float kLooseStep = 1.25f;
constexpr float kTightStep = 1.15f;
// The logo's share when the rows need its room.
constexpr float kSmallLogo = 0.6f;
// Pixels at text scale 1: between the logo and the first row, and between two columns.
constexpr float kLogoGap = 24.0f;
constexpr float kColumnGap = 40.0f;
// Pixels kept free along the window's edges, besides the reach of the
// buttons' focus frames, which grows with them.
constexpr float kMargin = 12.0f;
constexpr float kReach = ButtonSimple::kFocusReach;
// A layout is never drawn smaller than this, however small the window.
constexpr float kSmallestScale = 0.05f;

struct Arrangement {
    float step;
    float logoShare;
    int columns;
};
// In order of preference, after the anchored places.
constexpr Arrangement kArrangements[] = {
    {kLooseStep, 1.0f, 1}, {kTightStep, 1.0f, 1},       {kTightStep, kSmallLogo, 1},
    {kLooseStep, 1.0f, 2}, {kTightStep, kSmallLogo, 2},
};

// How far a row reaches left and right of its column's centre line, in pixels at scale 1.
struct Reach {
    float left = 0.0f;
    float right = 0.0f;
};

Reach reachOf(const MenuLayout::Item& item) {
    if (item.line) {
        return {item.labelWidth / 2.0f, item.labelWidth / 2.0f};
    }
    if (!item.labelled) {
        return {item.buttonWidth / 2.0f, item.buttonWidth / 2.0f};
    }
    // The label starts where the button's width would start left of the
    // line, as far left again as a long label needs.
    return {std::max(item.buttonWidth, item.labelWidth + MenuLayout::kLabelGap), item.buttonWidth};
}

Reach columnReach(const std::vector<MenuLayout::Item>& items) {
    Reach column;
    for (const MenuLayout::Item& item : items) {
        const Reach row = reachOf(item);
        column.left = std::max(column.left, row.left);
        column.right = std::max(column.right, row.right);
    }
    return column;
}

// Builds the placement in pixels from the window's centre, y up.
class Builder {
public:
    Builder(const std::vector<MenuLayout::Item>& items, int viewportWidth, int viewportHeight,
            float textScale)
        : items(items), width(static_cast<float>(viewportWidth)), height(static_cast<float>(viewportHeight)),
          windowShare(logoShare(viewportWidth, viewportHeight, textScale)), column(columnReach(items)) {}

    // The anchored places at scale s, if everything fits there.
    bool anchored(float s, const MenuLayout::Anchors& anchors, MenuLayout::Placement& out) const {
        const float logoBottom = anchors.logoBottom * height / 2.0f;
        const float firstRow = anchors.firstRow * height / 2.0f;
        const float lastRow = firstRow - static_cast<float>(rows() - 1) * kLooseStep * buttonHeight(s);
        const float edgeX = width / 2.0f - kMargin - kReach * s;
        const bool fits = logoBottom + logoHeight(1.0f) <= height / 2.0f - kMargin &&
                          firstRow + buttonHeight(s) + kReach * s <= logoBottom &&
                          lastRow - kReach * s >= kMargin - height / 2.0f && column.left * s <= edgeX &&
                          column.right * s <= edgeX;
        if (!fits) {
            return false;
        }
        out = start(s, 1.0f, 1);
        out.logo = box(-logoWidth(1.0f) / 2.0f, logoBottom, logoWidth(1.0f), logoHeight(1.0f));
        placeRows(s, kLooseStep, 1, 0.0f, firstRow + buttonHeight(s), out);
        return true;
    }

    // The largest scale at which an arrangement fits the window.
    float largestScale(const Arrangement& a) const {
        const float freeHeight = height - 2.0f * kMargin - logoHeight(a.logoShare);
        const float freeWidth = width - 2.0f * kMargin;
        if (logoWidth(a.logoShare) > freeWidth) {
            return 0.0f;
        }
        const float rowsHeight =
            static_cast<float>(rowsPerColumn(a.columns) - 1) * a.step * MenuLayout::kButtonHeight +
            MenuLayout::kButtonHeight + kLogoGap + 2.0f * kReach;
        const float rowsWidth = static_cast<float>(a.columns) * (column.left + column.right) +
                                static_cast<float>(a.columns - 1) * kColumnGap + 2.0f * kReach;
        return std::min(freeHeight / rowsHeight, freeWidth / rowsWidth);
    }

    // The arrangement at scale s, centred in the window.
    MenuLayout::Placement compact(float s, const Arrangement& a) const {
        MenuLayout::Placement out = start(s, a.logoShare, a.columns);
        const float rowsHeight =
            static_cast<float>(rowsPerColumn(a.columns) - 1) * a.step * buttonHeight(s) + buttonHeight(s);
        const float total = logoHeight(a.logoShare) + kLogoGap * s + rowsHeight;
        const float top = total / 2.0f;
        out.logo = box(-logoWidth(a.logoShare) / 2.0f, top - logoHeight(a.logoShare), logoWidth(a.logoShare),
                       logoHeight(a.logoShare));
        const float columnWidth = (column.left + column.right) * s;
        const float allColumns =
            static_cast<float>(a.columns) * columnWidth + static_cast<float>(a.columns - 1) * kColumnGap * s;
        placeRows(s, a.step, a.columns, -allColumns / 2.0f + column.left * s,
                  top - logoHeight(a.logoShare) - kLogoGap * s, out);
        return out;
    }

private:
    // The logo keeps its size as the screens were drawn, shrunk with a
    // smaller window, and grows with larger text as far as the window's
    // height grows; never wider than the window.
    static float logoShare(int viewportWidth, int viewportHeight, float textScale) {
        const float drawn = TextScale::windowFactor(viewportWidth, viewportHeight);
        const float grown =
            std::min(textScale, static_cast<float>(viewportHeight) / TextScale::kLayoutHeight);
        const float widest = (static_cast<float>(viewportWidth) - 2.0f * kMargin) / MenuLayout::kLogoWidth;
        return std::min(std::max(drawn, grown), widest);
    }

    int rows() const { return static_cast<int>(items.size()); }
    int rowsPerColumn(int columns) const { return std::max(1, (rows() + columns - 1) / columns); }
    float buttonHeight(float s) const { return MenuLayout::kButtonHeight * s; }
    float logoWidth(float share) const { return MenuLayout::kLogoWidth * windowShare * share; }
    float logoHeight(float share) const { return MenuLayout::kLogoHeight * windowShare * share; }

    // Pixels from the centre to screen units.
    MenuLayout::Box box(float x, float y, float w, float h) const {
        return {2.0f * x / width, 2.0f * y / height, 2.0f * w / width, 2.0f * h / height};
    }

    MenuLayout::Placement start(float s, float logoShare, int columns) const {
        MenuLayout::Placement out;
        out.scale = s;
        out.logoScale = windowShare * logoShare;
        out.columns = columns;
        return out;
    }

    // Rows top down from firstTop, column by column; the first column's
    // centre line at firstLine, the next ones a column and a gap further.
    void placeRows(float s, float step, int columns, float firstLine, float firstTop,
                   MenuLayout::Placement& out) const {
        const float columnStep = (column.left + column.right + kColumnGap) * s;
        const int perColumn = rowsPerColumn(columns);
        for (int i = 0; i < rows(); ++i) {
            const MenuLayout::Item& item = items[static_cast<size_t>(i)];
            const float line = firstLine + static_cast<float>(i / perColumn) * columnStep;
            const float bottom =
                firstTop - buttonHeight(s) - static_cast<float>(i % perColumn) * step * buttonHeight(s);
            const float buttonLeft = item.labelled ? line : line - item.buttonWidth * s / 2.0f;
            out.buttons.push_back(box(buttonLeft, bottom, item.buttonWidth * s, buttonHeight(s)));
            if (item.line) {
                out.labels.push_back(box(line - item.labelWidth * s / 2.0f,
                                         bottom + (buttonHeight(s) - item.labelHeight * s) / 2.0f,
                                         item.labelWidth * s, item.labelHeight * s));
            } else {
                out.labels.push_back(item.labelled ? box(line - reachOf(item).left * s, bottom,
                                                         item.labelWidth * s, item.labelHeight * s)
                                                   : MenuLayout::Box{});
            }
        }
    }

    const std::vector<MenuLayout::Item>& items;
    float width;
    float height;
    float windowShare;
    Reach column;
};

} // namespace

MenuLayout::Row::Row(ButtonSimple* button, Text* label)
    : control(button), width(button != nullptr ? button->getPixelWidth() : 0.0f), label(label) {}

MenuLayout::Placement MenuLayout::arrange(const std::vector<Item>& items, int viewportWidth,
                                          int viewportHeight, float textScale, const Anchors& anchors) {
    const Builder builder(items, std::max(viewportWidth, 1), std::max(viewportHeight, 1), textScale);
    Placement placement;
    if (builder.anchored(textScale, anchors, placement)) {
        return placement;
    }
    const Arrangement* roomiest = &kArrangements[0];
    float roomiestScale = 0.0f;
    for (const Arrangement& a : kArrangements) {
        const float largest = builder.largestScale(a);
        if (largest >= textScale) {
            return builder.compact(textScale, a);
        }
        if (largest > roomiestScale) {
            roomiest = &a;
            roomiestScale = largest;
        }
    }
    return builder.compact(std::max(roomiestScale, kSmallestScale), *roomiest);
}

void MenuLayout::place(ControlContainer& container, Image& logo, const std::vector<Row>& rows,
                       const Anchors& anchors) {
    std::vector<Item> items;
    for (const Row& row : rows) {
        Item item;
        item.buttonWidth = row.control != nullptr ? row.width : 0.0f;
        if (row.label != nullptr) {
            item.labelled = row.control != nullptr;
            item.line = row.control == nullptr;
            const Font* font = row.label->getFont();
            const float magnified = row.label->getMagnification();
            const float cellWidth = font != nullptr ? font->getCellWidth() * magnified : 0.0f;
            item.labelWidth = cellWidth * static_cast<float>(Text::countCharacters(row.label->getText()));
            item.labelHeight = font != nullptr ? font->getCellHeight() * magnified : 0.0f;
        }
        items.push_back(item);
    }
    int viewportWidth = 0;
    int viewportHeight = 0;
    Control::viewportSize(container, viewportWidth, viewportHeight);
    const Placement placement = arrange(items, viewportWidth, viewportHeight,
                                        TextScale::factor(viewportWidth, viewportHeight), anchors);
    container.setScale(placement.scale);
    // The logo is drawn at the container's scale like everything in it.
    const float logoSize = placement.logoScale / placement.scale;
    logo.setSize(kLogoWidth * logoSize, kLogoHeight * logoSize);
    // Boxes are from the window's centre; controls lie in the container,
    // except a text, which is drawn where it is told.
    const float originX = container.getAbsoluteX();
    const float originY = container.getAbsoluteY();
    logo.setPosition(placement.logo.x - originX, placement.logo.y - originY);
    for (size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].control != nullptr) {
            rows[i].control->setPosition(placement.buttons[i].x - originX, placement.buttons[i].y - originY);
        }
        if (rows[i].label != nullptr) {
            rows[i].label->setPosition(placement.labels[i].x, placement.labels[i].y);
        }
    }
}
