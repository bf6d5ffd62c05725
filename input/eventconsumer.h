#pragma once

#include <functional>

class InputEvent;

// Everything that takes input. The render graph puts linked nodes that are also
// consumers into the application's dispatch list; nothing else registers them.
class EventConsumer {
public:
    // Told of every consumer that is being destroyed.
    using DestructionHandler = std::function<void(EventConsumer*)>;

    EventConsumer() = default;
    EventConsumer(const EventConsumer&) = delete;
    EventConsumer& operator=(const EventConsumer&) = delete;
    // Tells the destruction handler, so a destroyed consumer is never served.
    virtual ~EventConsumer();

    virtual void handleEvent(InputEvent& e) = 0;

    // The dispatcher that keeps consumers in a list sets this (System takes
    // them off its list); null for none.
    static void setDestructionHandler(DestructionHandler handler);

private:
    static DestructionHandler& destructionHandler();
};
