#include "core/glutcallbacks.h"
#include "core/system.h"
#include "input/eventconsumer.h"
#include "input/inputevent.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class KeyDowns : public EventConsumer {
public:
    void handleEvent(InputEvent& e) override {
        if (const auto* down = dynamic_cast<const InputEventKeyDown*>(&e)) {
            keys.push_back(down->getKey());
        }
    }
    std::vector<int> keys;
};

// Ctrl let go before the letter: GLUT reports the release as the plain
// letter (or the other way round), and the next press must still arrive.
TEST(ControlKeys, ReleasedUnderAnotherForm_NextPressArrives) {
    const struct {
        unsigned char press;
        unsigned char release;
    } cases[] = {{KeyCtrlZ, 'z'}, {KeyCtrlZ, 'Z'}, {'z', KeyCtrlZ}, {'Z', 'z'}, {KeyBackspace, 'h'}};
    System& system = *System::instance();
    for (const auto& c : cases) {
        KeyDowns recorder;
        system.setEventConsumers({&recorder});
        for (int round = 0; round < 2; ++round) {
            GlutCallbacks::keyboardDown(c.press, 0, 0);
            system.processEvents();
            GlutCallbacks::keyboardUp(c.release, 0, 0);
            system.processEvents();
        }
        system.setEventConsumers({});
        EXPECT_EQ(recorder.keys, (std::vector<int>{c.press, c.press}))
            << int{c.press} << " " << int{c.release};
    }
}

} // namespace
