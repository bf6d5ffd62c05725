#include "core/sporrikmain.h"

#include "core/sporrik.h"

SporrikMain::SporrikMain() = default;

SporrikMain::~SporrikMain() {
    package.reset();
}

void SporrikMain::init() {
    Main::init();
    package = std::make_unique<Sporrik>(*this);
    setGamePackage(package.get());
}
