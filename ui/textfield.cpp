#include "ui/textfield.h"

#include "graph/windowsize.h"
#include "input/inputevent.h"
#include "resources/material.h"
#include "ui/buttonsimple.h"
#include "ui/controllistener.h"
#include "ui/font.h"
#include "ui/text.h"

#include <GL/glew.h>

#include <algorithm>
#include <array>
#include <cmath>

namespace {
// Pixels at the field's scale: the text's distance from the box's left
// edge, the border's width and the caret's.
constexpr float kPadding = 14.0f;
constexpr float kBorder = 2.0f;
constexpr float kCaretWidth = 3.0f;
// The caret's height against the box's.
constexpr float kCaretShare = 0.6f;
// The caret blinks with this period, shown for the first part of it, and
// stays shown this long after an edit.
constexpr double kBlinkPeriod = 1.0;
constexpr double kBlinkShown = 0.6;
constexpr double kSteadyAfterEdit = 0.5;
constexpr std::array<float, 4> kFill = {0.02f, 0.07f, 0.13f, 0.8f};
constexpr std::array<float, 4> kBorderColour = {0.62f, 0.8f, 0.92f, 1.0f};
constexpr std::array<float, 4> kCaretColour = {1.0f, 1.0f, 1.0f, 1.0f};
// The focus frame of the buttons: a bright amber line outside a dark one.
constexpr float kFocusGap = 3.0f;
constexpr float kFocusLine = 3.0f;
constexpr float kFocusOutline = ButtonSimple::kFocusReach - kFocusGap - kFocusLine;
constexpr std::array<float, 4> kFocusColour = {1.0f, 0.78f, 0.1f, 1.0f};
constexpr std::array<float, 4> kFocusOutlineColour = {0.0f, 0.0f, 0.0f, 1.0f};
constexpr std::array<float, 4> kTextColour = {1.0f, 1.0f, 1.0f, 1.0f};
constexpr std::array<float, 4> kPlaceholderColour = {0.6f, 0.68f, 0.75f, 0.7f};

void fill(float x0, float y0, float x1, float y1, const std::array<float, 4>& colour) {
    glColor4fv(colour.data());
    glBegin(GL_QUADS);
    Control::quad(x0, y0, x1, y1, 0.0f, 0.0f, 0.0f, 0.0f);
    glEnd();
}

// The four sides of a rectangle's outline, wx and wy wide inside its edges.
void outline(float x0, float y0, float x1, float y1, float wx, float wy, const std::array<float, 4>& colour) {
    fill(x0, y0, x1, y0 + wy, colour);
    fill(x0, y1 - wy, x1, y1, colour);
    fill(x0, y0 + wy, x0 + wx, y1 - wy, colour);
    fill(x1 - wx, y0 + wy, x1, y1 - wy, colour);
}

bool isEditKey(int key) {
    return key == KeyBackspace || key == TextField::kDeleteKey || key == KeyArrowLeft ||
           key == KeyArrowRight || key == KeyHome || key == KeyEnd || key == TextField::kPasteKey;
}

// Keys that type: the printable ASCII characters.
bool isTypingKey(int key) {
    return key >= KeySpace && key < TextField::kDeleteKey;
}
} // namespace

TextField::TextField(ControlContainer* parent, float width, Font* font, size_t maxLength)
    : Control(parent, 0.0f, 0.0f), edit(maxLength), width(width), font(font) {}

TextField::~TextField() = default;

size_t TextField::visibleCharacters() const {
    const float cell = font != nullptr ? font->getCellWidth() : 1.0f;
    const float room = (width - 2.0f * kPadding) / cell;
    return room > 1.0f ? static_cast<size_t>(room) : 1;
}

void TextField::render(double elapsed, float) {
    sinceEdit += elapsed;
    if (!isVisible()) {
        return;
    }
    int viewportWidth = 0;
    int viewportHeight = 0;
    viewportSize(*this, viewportWidth, viewportHeight);
    const float scale = pixelScale(viewportWidth, viewportHeight);
    const float pixelX = 2.0f * scale / viewportWidth;
    const float pixelY = 2.0f * scale / viewportHeight;
    drawWidth = pixelX * width;
    drawHeight = pixelY * kHeight;
    const float x0 = getAbsoluteX();
    const float y0 = getAbsoluteY();
    const float x1 = x0 + drawWidth;
    const float y1 = y0 + drawHeight;

    setFixedProjection();
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    fill(x0, y0, x1, y1, kFill);
    outline(x0, y0, x1, y1, kBorder * pixelX, kBorder * pixelY, kBorderColour);
    if (hasFocus()) {
        const float inner = kFocusGap + kFocusLine;
        const float outer = inner + kFocusOutline;
        outline(x0 - outer * pixelX, y0 - outer * pixelY, x1 + outer * pixelX, y1 + outer * pixelY,
                kFocusOutline * pixelX, kFocusOutline * pixelY, kFocusOutlineColour);
        outline(x0 - inner * pixelX, y0 - inner * pixelY, x1 + inner * pixelX, y1 + inner * pixelY,
                kFocusLine * pixelX, kFocusLine * pixelY, kFocusColour);
    }
    const size_t shown = visibleCharacters();
    // Away from the keys, a long text shows its start.
    const size_t first = hasFocus() ? edit.firstShown(shown) : 0;
    const float advance = (font != nullptr ? font->getCellWidth() : 0.0f) * pixelX;
    const float textLeft = x0 + kPadding * pixelX;
    const bool blinkOn = std::fmod(sinceEdit, kBlinkPeriod) < kBlinkShown || sinceEdit < kSteadyAfterEdit;
    if (hasFocus() && blinkOn) {
        const float caretX = textLeft + static_cast<float>(edit.getCaret() - first) * advance;
        const float caretHeight = drawHeight * kCaretShare;
        const float caretBottom = y0 + (drawHeight - caretHeight) / 2.0f;
        fill(caretX, caretBottom, caretX + kCaretWidth * pixelX, caretBottom + caretHeight, kCaretColour);
    }
    glEnable(GL_TEXTURE_2D);
    Material::resetLastApplied();

    if (label) {
        const bool empty = edit.getText().empty();
        label->setFont(font);
        label->setText(empty ? (hasFocus() ? std::string() : placeholder)
                             : edit.getText().substr(first, shown));
        const auto& colour = empty ? kPlaceholderColour : kTextColour;
        label->setColor(colour[0], colour[1], colour[2], colour[3]);
        label->setMaxWidth(drawWidth - 2.0f * kPadding * pixelX);
        const float textHeight = (font != nullptr ? font->getCellHeight() : 0.0f) * pixelY;
        // Text draws one pixel right of and above where it is told.
        label->setPosition(textLeft - pixelX, y0 + (drawHeight - textHeight) / 2.0f);
    }
}

void TextField::attach() {
    label = std::make_unique<Text>(getParent(), getAbsoluteX(), getAbsoluteY(), font, "");
    label->setVisible(isVisible());
}

void TextField::detach() {
    pressed = false;
    label.reset();
}

float TextField::getWidth() const {
    return 2.0f * width * pixelScale(WindowSize::getWidth(), WindowSize::getHeight()) /
           WindowSize::getWidth();
}

float TextField::getHeight() const {
    return 2.0f * kHeight * pixelScale(WindowSize::getWidth(), WindowSize::getHeight()) /
           WindowSize::getHeight();
}

void TextField::setVisible(bool flag) {
    Control::setVisible(flag);
    if (label) {
        label->setVisible(flag);
    }
}

bool TextField::activate() {
    if (listener == nullptr) {
        return false;
    }
    listener->onClick(this);
    return true;
}

bool TextField::contains(float pointX, float pointY) const {
    const float ax = getAbsoluteX();
    const float ay = getAbsoluteY();
    return ax <= pointX && pointX <= ax + drawWidth && ay <= pointY && pointY <= ay + drawHeight;
}

bool TextField::pressKey(int key, int modifiers) {
    bool edited = false;
    switch (key) {
    case KeyBackspace:
        edited = edit.backspace();
        break;
    case kDeleteKey:
        edited = edit.erase();
        break;
    case KeyArrowLeft:
        edit.left();
        edited = true;
        break;
    case KeyArrowRight:
        edit.right();
        edited = true;
        break;
    case KeyHome:
        edit.home();
        edited = true;
        break;
    case KeyEnd:
        edit.end();
        edited = true;
        break;
    case kPasteKey:
        edited = pasteSource && edit.paste(pasteSource());
        break;
    default:
        if (!isTypingKey(key) || (modifiers & (ModCtrl | ModAlt)) != 0) {
            return false;
        }
        edited = edit.type(static_cast<char>(key));
        break;
    }
    if (edited) {
        sinceEdit = 0.0;
    }
    return true;
}

void TextField::handleEvent(InputEvent& e) {
    if (!isVisible()) {
        pressed = false;
        return;
    }
    if (const auto* motion = dynamic_cast<const InputEventMotion*>(&e)) {
        if (motion->hasLeftWindow()) {
            return;
        }
        double mouseX = 0.0;
        double mouseY = 0.0;
        motion->getPosition(mouseX, mouseY);
        pointerX = static_cast<float>(2.0 * mouseX - 1.0);
        pointerY = static_cast<float>(1.0 - 2.0 * mouseY);
        return;
    }
    const auto* key = dynamic_cast<const InputEventKey*>(&e);
    if (key == nullptr) {
        return;
    }
    const bool down = dynamic_cast<const InputEventKeyDown*>(&e) != nullptr;
    if (key->getKey() == KeyMouseLeft) {
        if (down) {
            pressed = contains(pointerX, pointerY);
        } else if (pressed && dynamic_cast<const InputEventKeyUp*>(&e) != nullptr) {
            pressed = false;
            if (!contains(pointerX, pointerY)) {
                return;
            }
            // The caret goes to the edge between characters nearest the click.
            const float pixel = width > 0.0f ? drawWidth / width : 0.0f;
            const float cell = (font != nullptr ? font->getCellWidth() : 1.0f) * pixel;
            const float along = pointerX - getAbsoluteX() - kPadding * pixel;
            const float cells = cell > 0.0f ? std::round(along / cell) : 0.0f;
            requestFocus();
            edit.moveCaretTo(edit.firstShown(visibleCharacters()) +
                             static_cast<size_t>(std::max(0.0f, cells)));
            sinceEdit = 0.0;
        }
        if (pressed || contains(pointerX, pointerY)) {
            e.consume();
        }
        return;
    }
    if (!hasFocus()) {
        return;
    }
    const int k = key->getKey();
    if (down) {
        if (pressKey(k, key->getModifiers())) {
            e.consume();
        }
        return;
    }
    // The release and the repeats of a key the field types are its own too.
    if (isEditKey(k) || (isTypingKey(k) && (key->getModifiers() & (ModCtrl | ModAlt)) == 0)) {
        e.consume();
    }
}
