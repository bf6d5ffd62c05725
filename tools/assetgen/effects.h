#pragma once

class AssetSet;

// textures/table/fog1.png (soft tiling clouds), textures/table/flare.png (a
// radial glow on black for the additive splash droplets) and the ten frames
// textures/table/selection0000.png ... selection0009.png of the animated
// field marker (white on black, tinted and added by the game).
void makeEffectTextures(AssetSet& out);
