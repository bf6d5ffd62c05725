#pragma once

#include "core/main.h"

#include <memory>
#include <string>

class Keeper;
class Sporrik;

// The application of Sporrik: builds the game package and shows it.
class SporrikMain : public Main {
public:
    // Keeps nothing between runs.
    SporrikMain();
    // keeper: what is kept between runs, with the kept games. replayFile:
    // a record to show once the kept game is loaded, or empty.
    explicit SporrikMain(std::unique_ptr<Keeper> keeper, std::string replayFile = std::string());
    // The package goes before Main's own teardown, so nothing it owns outlives
    // the render graph's view of it; what is kept is written before that.
    ~SporrikMain() override;

    void init() override;
    Sporrik* getPackage() const { return package.get(); }

protected:
    void frameDone() override;

private:
    std::unique_ptr<Keeper> keeper;
    std::unique_ptr<Sporrik> package;
    std::string replayFile;
};
