#include "core/eventconsumer.h"

#include "core/system.h"

EventConsumer::~EventConsumer() {
    System::instance()->removeEventConsumer(this);
}
