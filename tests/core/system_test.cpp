#include "core/eventconsumer.h"
#include "core/exceptions.h"
#include "core/inputevent.h"
#include "core/system.h"
#include "support/fakeclock.h"

#include <gtest/gtest.h>

#include <functional>
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

class Dispatch : public ::testing::Test {
protected:
    Dispatch() : system(*System::instance()) { system.reshape(1000, 500); }
    ~Dispatch() override { system.setEventConsumers({}); }

    // One frame: advance the clock, then dispatch.
    void pass(double seconds) {
        clock.advance(seconds);
        system.processEvents();
    }

    FakeClock clock;
    System& system;
};

// Key life cycle ----------------------------------------------------------

TEST_F(Dispatch, HeldKeyGivesDownThenHeldEachFrameThenUp) {
    Recorder recorder;
    system.setEventConsumers({&recorder});
    clock.advance(0.1);
    system.keyDown('a');
    pass(0.1);  // pass 1 at 0.2
    pass(0.25); // pass 2 at 0.45
    pass(0.5);  // pass 3 at 0.95
    clock.advance(0.25);
    system.keyUp('a'); // at 1.2
    pass(0.1);         // pass 4 at 1.3
    EXPECT_EQ(recorder.received,
              (std::vector<std::string>{"down 97", "held 97 0.25", "held 97 0.5", "up 97 0.25 1.1"}));
}

TEST_F(Dispatch, OperatingSystemRepeatGivesOneKeyDown) {
    Recorder recorder;
    system.setEventConsumers({&recorder});
    clock.advance(0.05);
    system.keyDown('x');
    system.keyDown('x');
    pass(0.1);
    system.keyDown('x');
    pass(0.1);
    EXPECT_EQ(recorder.received, (std::vector<std::string>{"down 120", "held 120 0.1"}));
}

TEST_F(Dispatch, PressAndReleaseWithinOneFrameGiveDownAndUpOnly) {
    Recorder recorder;
    system.setEventConsumers({&recorder});
    clock.advance(0.05);
    system.keyDown(KeyMouseLeft);
    clock.advance(0.01);
    system.keyUp(KeyMouseLeft);
    pass(0.01);
    pass(0.1);
    EXPECT_EQ(recorder.received, (std::vector<std::string>{"down 256", "up 256 0.06 0.01"}));
}

TEST_F(Dispatch, ReleaseWithoutRecordedPressProducesNothing) {
    Recorder recorder;
    system.setEventConsumers({&recorder});
    system.keyUp('q');
    pass(0.1);
    EXPECT_TRUE(recorder.received.empty());
}

TEST_F(Dispatch, KeyUpEndsHeldEventsOfThatKeyOnly) {
    Recorder recorder;
    system.setEventConsumers({&recorder});
    clock.advance(0.05);
    system.keyDown('a');
    system.keyDown('b');
    pass(0.1);
    system.keyUp('a');
    pass(0.1);
    pass(0.1);
    EXPECT_EQ(recorder.received,
              (std::vector<std::string>{"down 97", "down 98", "up 97 0 0.1", "held 98 0.1", "held 98 0.1"}));
}

// Pointer -----------------------------------------------------------------

TEST_F(Dispatch, MotionIsNormalisedByWindowSize) {
    Recorder recorder;
    system.setEventConsumers({&recorder});
    system.motion(500, 125);
    system.reshape(250, 250);
    system.motion(125, 125);
    pass(0.1);
    EXPECT_EQ(recorder.received, (std::vector<std::string>{"move 0.5 0.25", "move 0.5 0.5"}));
}

TEST_F(Dispatch, LeavingTheWindowRepeatsTheLastPosition) {
    Recorder recorder;
    system.setEventConsumers({&recorder});
    system.motion(250, 250);
    system.pointerLeft();
    pass(0.1);
    EXPECT_EQ(recorder.received, (std::vector<std::string>{"move 0.25 0.5", "left 0.25 0.5"}));
}

TEST_F(Dispatch, ZeroSizedWindowIsClampedToOnePixel) {
    system.reshape(0, 0);
    EXPECT_EQ(system.getWidth(), 1);
    EXPECT_EQ(system.getHeight(), 1);
}

// Consumers ---------------------------------------------------------------

TEST_F(Dispatch, ClaimingConsumerHidesEventFromLaterOnes) {
    Recorder first;
    Recorder claimer(true);
    Recorder last;
    system.setEventConsumers({&first, &claimer, &last});
    clock.advance(0.05);
    system.keyDown('k');
    pass(0.1);
    EXPECT_EQ(first.received.size(), 1u);
    EXPECT_EQ(claimer.received.size(), 1u);
    EXPECT_TRUE(last.received.empty());
}

TEST_F(Dispatch, ConsumerMayRemoveTheNextOneWhileHandling) {
    Recorder first;
    Recorder second;
    Recorder third;
    first.onEvent = [&](InputEvent&) {
        system.removeEventConsumer(&second);
    };
    system.setEventConsumers({&first, &second, &third});
    clock.advance(0.05);
    system.keyDown('k');
    pass(0.1);
    EXPECT_TRUE(second.received.empty());
    EXPECT_EQ(third.received.size(), 1u);
}

TEST_F(Dispatch, DestroyedConsumerLeavesTheList) {
    Recorder kept;
    {
        Recorder gone;
        system.setEventConsumers({&gone, &kept});
    }
    EXPECT_EQ(system.getEventConsumers(), (std::list<EventConsumer*>{&kept}));
}

TEST_F(Dispatch, DuplicateConsumerThrowsAndKeepsTheList) {
    Recorder a;
    Recorder b;
    system.setEventConsumers({&a, &b});
    try {
        system.setEventConsumers({&b, &a, &b});
        FAIL() << "no exception";
    } catch (const IllegalArgumentException& e) {
        EXPECT_EQ(e.getMessage(), "newList contains the same EventConsumers twice");
    }
    EXPECT_EQ(system.getEventConsumers(), (std::list<EventConsumer*>{&a, &b}));
}

TEST_F(Dispatch, NewListIsTakenInItsOrder) {
    Recorder a;
    Recorder b;
    Recorder c;
    system.setEventConsumers({&a, &b, &c});
    system.setEventConsumers({&c, &a});
    EXPECT_EQ(system.getEventConsumers(), (std::list<EventConsumer*>{&c, &a}));
    system.setEventConsumers({&b, &c, &a});
    EXPECT_EQ(system.getEventConsumers(), (std::list<EventConsumer*>{&b, &c, &a}));
    EXPECT_FALSE(system.removeEventConsumer(nullptr));
}

TEST_F(Dispatch, UnchangedListDuringDispatchKeepsThePosition) {
    Recorder a;
    Recorder b;
    a.onEvent = [&](InputEvent&) {
        system.setEventConsumers({&a, &b});
    };
    system.setEventConsumers({&a, &b});
    clock.advance(0.05);
    system.keyDown('k');
    pass(0.1);
    EXPECT_EQ(b.received.size(), 1u);
}

// Events ------------------------------------------------------------------

TEST(InputEvent, ConsumeClaimsOnce) {
    InputEventKeyDown event(0.0, 5);
    EXPECT_FALSE(event.isConsumed());
    EXPECT_TRUE(event.consume());
    EXPECT_FALSE(event.consume());
}

TEST(InputEvent, KeyEventsOfTheSameKeyAreEqualWhateverTheirRole) {
    const InputEventKeyDown down(1.0, 5);
    const InputEventKeyUp up(2.0, 5, 0.0, 1.0);
    const InputEventKey otherKey(1.0, 6);
    const InputEventMotion motion(1.0, 5.0, 5.0, false);
    EXPECT_TRUE(down.equals(up));
    EXPECT_TRUE(up.equals(down));
    EXPECT_FALSE(down.equals(otherKey));
    EXPECT_FALSE(down.equals(motion));
}

TEST(InputEvent, MotionEqualityIncludesLeftWindow) {
    const InputEventMotion inside(0.0, 0.5, 0.5, false);
    EXPECT_TRUE(inside.equals(InputEventMotion(9.0, 0.5, 0.5, false)));
    EXPECT_FALSE(inside.equals(InputEventMotion(0.0, 0.5, 0.5, true)));
    EXPECT_FALSE(inside.equals(InputEventMotion(0.0, 0.5, 0.6, false)));
}

TEST(InputEvent, CloneKeepsClassAndFields) {
    const InputEventKeyUp up(2.0, 7, 0.5, 1.5);
    const auto copy = up.clone();
    const auto* clone = dynamic_cast<const InputEventKeyUp*>(copy.get());
    ASSERT_NE(clone, nullptr);
    EXPECT_EQ(clone->getKey(), 7);
    EXPECT_EQ(clone->getTime(), 2.0);
    EXPECT_EQ(clone->getPartialDuration(), 0.5);
    EXPECT_EQ(clone->getHeldDuration(), 1.5);
}

} // namespace
