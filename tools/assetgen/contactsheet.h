#pragma once

#include "tools/assetgen/canvas.h"

#include <string>

class AssetSet;

// One picture to judge the whole asset set at a glance: the scene as the
// game's default camera sees it, the menu drawn over it with the game's own
// font and button sampling, every model from the front, at the game's angle
// and from above, every texture, and the sound wave forms.
class ContactSheet {
public:
    // labelFont: a font file for the captions.
    ContactSheet(const AssetSet& assets, const std::string& labelFont);
    Canvas render() const;

private:
    const AssetSet& assets; // not owned: the generator's output
    std::string labelFont;
};
