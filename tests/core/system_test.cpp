#include "base/exceptions.h"
#include "core/glutcallbacks.h"
#include "core/system.h"
#include "input/eventconsumer.h"
#include "input/inputevent.h"

#include <GL/freeglut.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace {

// Writes what it receives as short words: "down 65", "held 65 0.25", "up 65
// 0.1 0.5", "move 0.5 0.25", "left 0.5 0.25".
class Recorder : public EventConsumer {
public:
    explicit Recorder(bool claims = false) : claims(claims) {}

    void handleEvent(InputEvent& e) override {
        received.push_back(describe(e));
        if (onEvent) {
            onEvent(e);
        }
        if (claims) {
            e.consume();
        }
    }

    static std::string describe(const InputEvent& e) {
        char text[128];
        if (const auto* up = dynamic_cast<const InputEventKeyUp*>(&e)) {
            std::snprintf(text, sizeof text, "up %d %g %g", up->getKey(), up->getPartialDuration(),
                          up->getHeldDuration());
        } else if (const auto* held = dynamic_cast<const InputEventKeyPressed*>(&e)) {
            std::snprintf(text, sizeof text, "held %d %g", held->getKey(), held->getDuration());
        } else if (const auto* down = dynamic_cast<const InputEventKeyDown*>(&e)) {
            std::snprintf(text, sizeof text, "down %d", down->getKey());
        } else if (const auto* motion = dynamic_cast<const InputEventMotion*>(&e)) {
            double x = 0.0;
            double y = 0.0;
            motion->getPosition(x, y);
            std::snprintf(text, sizeof text, "%s %g %g", motion->hasLeftWindow() ? "left" : "move", x, y);
        } else {
            std::snprintf(text, sizeof text, "other");
        }
        return text;
    }

    std::vector<std::string> received;
    std::function<void(InputEvent&)> onEvent;
    bool claims;
};

// System's queue on a clock that moves only when told.
class Dispatch : public ::testing::Test {
protected:
    Dispatch() : system(*System::instance()) {
        system.setTimeSource([this] { return now; });
        system.reshape(1000, 500);
    }
    // The input queue belongs to the process: keys still held would turn the
    // next test's presses into repeats.
    ~Dispatch() override {
        system.setEventConsumers({});
        for (int key : pressed) {
            system.keyUp(key);
        }
        system.processEvents();
        system.setTimeSource(nullptr);
        system.reshape(1024, 768);
    }

    void keyDown(int key) {
        pressed.insert(key);
        system.keyDown(key);
    }
    // One frame: advance the clock, then dispatch.
    void pass(double seconds) {
        now += seconds;
        system.processEvents();
    }

    double now = 0.0;
    System& system;
    std::set<int> pressed;
};

// A key script, one step a word: "d97" presses key 97, "u97" releases it, "t0.1"
// advances the clock, "p0.1" advances it and runs one frame.
struct KeyScript {
    const char* what;
    std::vector<std::string> steps;
    std::vector<std::string> expected;
};

class KeyDispatch : public Dispatch, public ::testing::WithParamInterface<KeyScript> {};

TEST_P(KeyDispatch, GivesDownThenHeldEachFrameThenUp) {
    SCOPED_TRACE(GetParam().what);
    Recorder recorder;
    system.setEventConsumers({&recorder});
    for (const std::string& step : GetParam().steps) {
        const double value = std::stod(step.substr(1));
        switch (step[0]) {
        case 'd':
            keyDown(static_cast<int>(value));
            break;
        case 'u':
            system.keyUp(static_cast<int>(value));
            break;
        case 't':
            now += value;
            break;
        default:
            pass(value);
        }
    }
    EXPECT_EQ(recorder.received, GetParam().expected);
}

const KeyScript keyScripts[] = {
    {"held key: down, held each frame, then up",
     {"t0.1", "d97", "p0.1", "p0.25", "p0.5", "t0.25", "u97", "p0.1"},
     {"down 97", "held 97 0.25", "held 97 0.5", "up 97 0.25 1.1"}},
    {"operating system repeat gives one key down",
     {"t0.05", "d120", "d120", "p0.1", "d120", "p0.1"},
     {"down 120", "held 120 0.1"}},
    {"press and release within one frame give down and up only",
     {"t0.05", "d256", "t0.01", "u256", "p0.01", "p0.1"},
     {"down 256", "up 256 0.06 0.01"}},
    {"a key typed twice within one frame gives two presses",
     {"t0.05", "d9", "u9", "t0.01", "d9", "u9", "p0.01"},
     {"down 9", "up 9 0.05 0", "down 9", "up 9 0.06 0"}},
    {"key up ends the press of its key only; a release without press gives nothing",
     {"u113", "t0.05", "d97", "d98", "p0.1", "u97", "p0.1", "p0.1"},
     {"down 97", "down 98", "up 97 0 0.1", "held 98 0.1", "held 98 0.1"}},
};
INSTANTIATE_TEST_SUITE_P(Scripts, KeyDispatch, ::testing::ValuesIn(keyScripts));

// Pointer -----------------------------------------------------------------

TEST_F(Dispatch, MotionIsNormalisedByTheWindowSize_LeavingRepeatsTheLastPosition) {
    Recorder recorder;
    system.setEventConsumers({&recorder});
    system.motion(500, 125);
    system.reshape(250, 250);
    system.motion(125, 125);
    system.pointerLeft();
    pass(0.1);
    EXPECT_EQ(recorder.received, (std::vector<std::string>{"move 0.5 0.25", "move 0.5 0.5", "left 0.5 0.5"}));
    // A minimised window reports 0 x 0; later code divides by the size.
    system.reshape(0, 0);
    EXPECT_EQ(system.getWidth(), 1);
    EXPECT_EQ(system.getHeight(), 1);
}

// A claimed event reaches no later consumer. A consumer that removes the next
// one while handling keeps it from the event; one that sets the list
// unchanged keeps the dispatch where it was.
TEST_F(Dispatch, ClaimedOrListChangedWhileHandling_TheDispatchFollows) {
    Recorder first;
    Recorder second;
    Recorder claimer(true);
    Recorder last;
    system.setEventConsumers({&first, &claimer, &last});
    now = 0.05; // after the last frame, so that this one gives the press alone
    keyDown('k');
    pass(0.1);
    EXPECT_EQ(claimer.received.size(), 1u);
    EXPECT_TRUE(last.received.empty());
    first.onEvent = [&](InputEvent&) {
        system.setEventConsumers({&first, &second, &last});
        system.removeEventConsumer(&second);
    };
    system.setEventConsumers({&first, &second, &last});
    pass(0.1);
    EXPECT_EQ(first.received.size(), 2u);
    EXPECT_TRUE(second.received.empty());
    EXPECT_EQ(last.received.size(), 1u);
}

TEST_F(Dispatch, ConsumerList_TakesTheNewOrder_RefusesDuplicates_LosesDestroyedConsumers) {
    Recorder a;
    Recorder b;
    Recorder c;
    system.setEventConsumers({&a, &b});
    system.setEventConsumers({&b, &c, &a});
    EXPECT_EQ(system.getEventConsumers(), (std::list<EventConsumer*>{&b, &c, &a}));
    EXPECT_THROW(system.setEventConsumers({&b, &a, &b}), IllegalArgumentException);
    EXPECT_EQ(system.getEventConsumers(), (std::list<EventConsumer*>{&b, &c, &a}));
    {
        Recorder gone;
        system.setEventConsumers({&gone, &a});
    }
    EXPECT_EQ(system.getEventConsumers(), (std::list<EventConsumer*>{&a}));
    EXPECT_FALSE(system.removeEventConsumer(nullptr));
}

// GLUT's keys and buttons through the handlers GLUT calls, each pressed
// twice: each becomes the game's code; keys without a code and the wheel give
// nothing. A letter may be released under another form than pressed (Ctrl let
// go first), and the next press must still arrive.
TEST_F(Dispatch, GlutHandlers_TranslateKeysAndButtonsToTheGameCodes) {
    enum Handler { Special, Keyboard, Mouse };
    const struct {
        Handler handler;
        int glut;
        int code;         // 0: nothing arrives
        int released = 0; // the form GLUT reports the release in, if another
    } cases[] = {{Special, GLUT_KEY_RIGHT, KeyArrowRight},
                 {Special, GLUT_KEY_UP, KeyArrowUp},
                 {Special, GLUT_KEY_LEFT, KeyArrowLeft},
                 {Special, GLUT_KEY_DOWN, KeyArrowDown},
                 {Special, GLUT_KEY_F1, KeyF1},
                 {Special, GLUT_KEY_F7, KeyF1 + 6},
                 {Special, GLUT_KEY_F12, KeyF12},
                 {Special, GLUT_KEY_HOME, KeyHome},
                 {Special, GLUT_KEY_END, KeyEnd},
                 {Special, GLUT_KEY_PAGE_UP, 0},
                 {Keyboard, 'a', 'a'},
                 {Keyboard, KeyCtrlZ, KeyCtrlZ, 'z'},
                 {Keyboard, KeyCtrlZ, KeyCtrlZ, 'Z'},
                 {Keyboard, 'z', 'z', KeyCtrlZ},
                 {Keyboard, KeyBackspace, KeyBackspace, 'h'},
                 {Mouse, GLUT_LEFT_BUTTON, KeyMouseLeft},
                 {Mouse, GLUT_MIDDLE_BUTTON, KeyMouseMiddle},
                 {Mouse, GLUT_RIGHT_BUTTON, KeyMouseRight},
                 {Mouse, 3, 0}};
    for (const auto& c : cases) {
        Recorder recorder;
        system.setEventConsumers({&recorder});
        std::vector<std::string> expected;
        for (int round = 0; round < 2; ++round) {
            now += 0.05;
            for (const bool down : {true, false}) {
                const int glut = down || c.released == 0 ? c.glut : c.released;
                if (c.handler == Special) {
                    (down ? GlutCallbacks::specialDown : GlutCallbacks::specialUp)(glut, 0, 0);
                } else if (c.handler == Keyboard) {
                    (down ? GlutCallbacks::keyboardDown
                          : GlutCallbacks::keyboardUp)(static_cast<unsigned char>(glut), 0, 0);
                } else {
                    GlutCallbacks::mouse(glut, down ? GLUT_DOWN : GLUT_UP, 500, 250);
                }
                pass(0.1);
            }
            if (c.code != 0) {
                expected.push_back("down " + std::to_string(c.code));
                expected.push_back("up " + std::to_string(c.code) + " 0 0.1");
            }
        }
        recorder.received.erase(
            std::remove(recorder.received.begin(), recorder.received.end(), "move 0.5 0.5"),
            recorder.received.end());
        EXPECT_EQ(recorder.received, expected) << c.glut << " " << c.released;
    }
}

TEST(InputEvent, IsClaimedOnce_KeyEventsOfOneKeyAreEqualWhateverTheirRole) {
    InputEventKeyDown down(1.0, 5);
    EXPECT_TRUE(down.consume());
    EXPECT_FALSE(down.consume());
    EXPECT_TRUE(down.equals(InputEventKeyUp(2.0, 5, 0.0, 1.0)));
    EXPECT_FALSE(down.equals(InputEventKey(1.0, 6)));
    EXPECT_FALSE(down.equals(InputEventMotion(1.0, 5.0, 5.0, false)));
    const InputEventMotion inside(0.0, 0.5, 0.5, false);
    EXPECT_TRUE(inside.equals(InputEventMotion(9.0, 0.5, 0.5, false)));
    EXPECT_FALSE(inside.equals(InputEventMotion(0.0, 0.5, 0.5, true)));
    EXPECT_FALSE(inside.equals(InputEventMotion(0.0, 0.5, 0.6, false)));
}

} // namespace
