#include "input/eventconsumer.h"

#include <utility>

EventConsumer::~EventConsumer() {
    if (destructionHandler()) {
        destructionHandler()(this);
    }
}

void EventConsumer::setDestructionHandler(DestructionHandler handler) {
    destructionHandler() = std::move(handler);
}

EventConsumer::DestructionHandler& EventConsumer::destructionHandler() {
    static DestructionHandler handler;
    return handler;
}
