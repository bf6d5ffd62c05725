#pragma once

#include <string>

class AssetSet;

// textures/cursor/cursor1.png (32 x 32 arrow, tip at 4, 7 from the top left)
// and textures/menu/spr2-logo.png (512 x 128, the game's name).
void makeMenuArt(AssetSet& out, const std::string& logoFont);
