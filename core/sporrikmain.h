#pragma once

#include "core/main.h"

#include <memory>

class Sporrik;

// The application of Sporrik: builds the game package and shows it.
class SporrikMain : public Main {
public:
    SporrikMain();
    // The package goes before Main's own teardown, so nothing it owns outlives
    // the render graph's view of it.
    ~SporrikMain() override;

    void init() override;
    Sporrik* getPackage() const { return package.get(); }

private:
    std::unique_ptr<Sporrik> package;
};
