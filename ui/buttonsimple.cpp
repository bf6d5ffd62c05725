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
        if (piece == 1) {
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
        }
        glBegin(GL_QUADS);
        quad(edges[piece], bottom, edges[piece + 1], top, 0.0f, 0.0f, 1.0f, 1.0f);
        glEnd();
    }

    if (label) {
        label->setText(caption);
        label->setFont(font);
        label->setStyle(state);
        label->setMaxWidth(drawWidth - 2.0f * pixelX * (kCaptionInset + kLabelShiftX));
        // The label's size is that of its previous draw.
        const float textWidth = label->getWidth();
        const float textHeight = label->getHeight();
        label->setPosition(ax + (drawWidth - textWidth) / 2.0f + pixelX * kLabelShiftX,
                           ay + (drawHeight - textHeight) / 2.0f + pixelY * kLabelShiftY);
    }
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
    if (listener != nullptr && dynamic_cast<const InputEventKeyUp*>(&e) != nullptr) {
        listener->onClick(this);
    }
}
