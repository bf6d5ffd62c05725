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
    const unsigned char cases[][2] = {{KeyCtrlZ, 'z'}, {KeyCtrlZ, 'Z'}, {'z', KeyCtrlZ}, {KeyBackspace, 'h'}};
    System& system = *System::instance();
    for (const auto& c : cases) {
        KeyDowns recorder;
        system.setEventConsumers({&recorder});
        for (int round = 0; round < 2; ++round) {
            GlutCallbacks::keyboardDown(c[0], 0, 0);
            system.processEvents();
            GlutCallbacks::keyboardUp(c[1], 0, 0);
            system.processEvents();
        }
        system.setEventConsumers({});
        EXPECT_EQ(recorder.keys, (std::vector<int>{c[0], c[0]})) << int{c[0]} << " " << int{c[1]};
    }
}

} // namespace
