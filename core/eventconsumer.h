#pragma once

class InputEvent;

// Everything that takes input. The render graph puts linked nodes that are also
// consumers into System's dispatch list; nothing else registers them.
class EventConsumer {
public:
    EventConsumer() = default;
    EventConsumer(const EventConsumer&) = delete;
    EventConsumer& operator=(const EventConsumer&) = delete;
    // Leaves System's dispatch list, so a destroyed consumer is never served.
    virtual ~EventConsumer();

    virtual void handleEvent(InputEvent& e) = 0;
};
