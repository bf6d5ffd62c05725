#include "ui/buttonsimple.h"

#include "graph/windowsize.h"
#include "input/inputevent.h"
#include "ui/controllistener.h"
#include "ui/text.h"

#include <GL/glew.h>

namespace {
const char* const kPieceFiles[] = {
    "textures/buttons/btn1a_n.png",  "textures/buttons/btn1b_n.png",  "textures/buttons/btn1c_n.png",
    "textures/buttons/btn1a_mo.png", "textures/buttons/btn1b_mo.png", "textures/buttons/btn1c_mo.png",
    "textures/buttons/btn1a_d.png",  "textures/buttons/btn1b_d.png",  "textures/buttons/btn1c_d.png",
};
// The label sits this many pixels right of and above the button's centre.
constexpr float kLabelShiftX = 6.0f;
constexpr float kLabelShiftY = 4.0f;
// A caption keeps this many pixels from the button's ends (the pill's outline
// lies a few pixels inside the caps), after its shift to the right.
constexpr float kCaptionInset = 8.0f;
// The focus frame, in pixels at the button's scale: how far its bright inner
// line lies outside the button, and the widths of that line and of the dark
// line around it. Amber, not white, so that it never reads as a caption's
// white strokes.
constexpr float kFocusGap = 3.0f;
constexpr float kFocusLine = 3.0f;
constexpr float kFocusOutline = ButtonSimple::kFocusReach - kFocusGap - kFocusLine;
constexpr std::array<float, 4> kFocusColour = {1.0f, 0.78f, 0.1f, 1.0f};
constexpr std::array<float, 4> kFocusOutlineColour = {0.0f, 0.0f, 0.0f, 1.0f};

// The four sides of a rectangle's outline, width w inside its edges.
void drawOutline(float x0, float y0, float x1, float y1, float wx, float wy) {
    glBegin(GL_QUADS);
    Control::quad(x0, y0, x1, y0 + wy, 0.0f, 0.0f, 0.0f, 0.0f);
    Control::quad(x0, y1 - wy, x1, y1, 0.0f, 0.0f, 0.0f, 0.0f);
    Control::quad(x0, y0 + wy, x0 + wx, y1 - wy, 0.0f, 0.0f, 0.0f, 0.0f);
    Control::quad(x1 - wx, y0 + wy, x1, y1 - wy, 0.0f, 0.0f, 0.0f, 0.0f);
    glEnd();
}
} // namespace

ButtonSimple::ButtonSimple(ControlContainer* parent, float x, float y, float width, Font* font,
                           const std::string& caption)
    : Control(parent, x, y), width(width), font(font), caption(caption) {}

ButtonSimple::~ButtonSimple() = default;

void ButtonSimple::render(double, float) {
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

    setFixedProjection();
    glDisable(GL_CULL_FACE);
    const float cap = pixelX * kCapWidth;
    const float ax = getAbsoluteX();
    const float ay = getAbsoluteY();
    const float bottom = ay;
    const float top = ay + drawHeight;
    const float edges[kPieces + 1] = {ax, ax + cap, ax + drawWidth - cap, ax + drawWidth};
    for (int piece = 0; piece < kPieces; ++piece) {
        applyOverlay(materials[static_cast<size_t>(state * kPieces + piece)], color);
        // Drawn larger or smaller than made, a piece filtered across its
        // edges would take in its opposite edge: a seam between the pieces.
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, piece == 1 ? GL_REPEAT : GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        glBegin(GL_QUADS);
        quad(edges[piece], bottom, edges[piece + 1], top, 0.0f, 0.0f, 1.0f, 1.0f);
        glEnd();
    }
    if (hasFocus()) {
        drawFocusFrame(pixelX, pixelY);
    }

    if (label) {
        label->setText(caption);
        label->setFont(font);
        label->setStyle(state);
        label->setMaxWidth(drawWidth - 2.0f * pixelX * (kCaptionInset + kLabelShiftX));
        const Text::Layout size = label->measure();
        label->setPosition(ax + (drawWidth - size.width) / 2.0f + pixelX * kLabelShiftX,
                           ay + (drawHeight - size.height) / 2.0f + pixelY * kLabelShiftY);
    }
}

void ButtonSimple::drawFocusFrame(float pixelX, float pixelY) const {
    const float ax = getAbsoluteX();
    const float ay = getAbsoluteY();
    const float inner = kFocusGap + kFocusLine;
    const float outer = inner + kFocusOutline;
    glDisable(GL_TEXTURE_2D);
    glColor4fv(kFocusOutlineColour.data());
    drawOutline(ax - outer * pixelX, ay - outer * pixelY, ax + drawWidth + outer * pixelX,
                ay + drawHeight + outer * pixelY, kFocusOutline * pixelX, kFocusOutline * pixelY);
    glColor4fv(kFocusColour.data());
    drawOutline(ax - inner * pixelX, ay - inner * pixelY, ax + drawWidth + inner * pixelX,
                ay + drawHeight + inner * pixelY, kFocusLine * pixelX, kFocusLine * pixelY);
}

bool ButtonSimple::activate() {
    if (listener == nullptr) {
        return false;
    }
    listener->onClick(this);
    return true;
}

void ButtonSimple::attach() {
    label = std::make_unique<Text>(getParent(), getAbsoluteX(), getAbsoluteY(), font, caption);
    label->setVisible(isVisible());
    for (size_t i = 0; i < materials.size(); ++i) {
        // The answer is ignored: a slot always exists after the overlay set-up.
        prepareOverlay(materials[i]);
        materials[i].setTexture(0, ImageTexture2D::fromFile(kPieceFiles[i]));
    }
}

void ButtonSimple::detach() {
    // Off the screen it is under no pointer: shown again, it does not keep
    // the look of the click that took its menu away.
    state = Normal;
    if (isLinked()) {
        for (const Material& material : materials) {
            releaseOverlay(material);
        }
    }
    label.reset();
}

float ButtonSimple::getWidth() const {
    return 2.0f * width * pixelScale(WindowSize::getWidth(), WindowSize::getHeight()) /
           WindowSize::getWidth();
}

float ButtonSimple::getHeight() const {
    return 2.0f * height * pixelScale(WindowSize::getWidth(), WindowSize::getHeight()) /
           WindowSize::getHeight();
}

void ButtonSimple::setVisible(bool flag) {
    Control::setVisible(flag);
    if (label) {
        label->setVisible(flag);
    }
}

bool ButtonSimple::hitTest(float pointX, float pointY) {
    const float ax = getAbsoluteX();
    const float ay = getAbsoluteY();
    const bool inside = ax <= pointX && pointX <= ax + drawWidth && ay <= pointY && pointY <= ay + drawHeight;
    state = inside ? MouseOver : Normal;
    return inside;
}

bool ButtonSimple::press() {
    if (state != MouseOver) {
        return false;
    }
    state = Down;
    return true;
}

void ButtonSimple::handleEvent(InputEvent& e) {
    // A hidden button (Continue without a game) keeps its last place: it
    // must not take a click meant for the one now drawn there.
    if (!isVisible()) {
        state = Normal;
        return;
    }
    if (const auto* motion = dynamic_cast<const InputEventMotion*>(&e)) {
        if (motion->hasLeftWindow()) {
            return;
        }
        int viewportWidth = 0;
        int viewportHeight = 0;
        viewportSize(*this, viewportWidth, viewportHeight);
        double mouseX = 0.0;
        double mouseY = 0.0;
        motion->getPosition(mouseX, mouseY);
        // Pixels from the centre; the halves are whole pixels.
        const double px = viewportWidth * mouseX - viewportWidth / 2;
        const double py = (1.0 - mouseY) * viewportHeight - viewportHeight / 2;
        const bool inside = hitTest(static_cast<float>(2.0 / viewportWidth * px),
                                    static_cast<float>(2.0 / viewportHeight * py));
        if (listener != nullptr) {
            if (inside) {
                listener->onMouseOver(this);
            } else {
                listener->onMouseOut(this);
            }
        }
        return;
    }
    const auto* key = dynamic_cast<const InputEventKey*>(&e);
    if (key == nullptr || key->getKey() != KeyMouseLeft || !press()) {
        return;
    }
    // Claimed before the listener hears of it: a click may end the program or
    // take the menu off the screen, and nothing here runs after it.
    e.consume();
    if (dynamic_cast<const InputEventKeyUp*>(&e) == nullptr) {
        return;
    }
    // The keys go on from the button the pointer chose.
    requestFocus();
    if (listener != nullptr) {
        listener->onClick(this);
    }
}
