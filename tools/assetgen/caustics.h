#pragma once

class AssetSet;

// textures/caustic/caustic1.png ... caustic16.png: light focused by a moving
// water surface onto the basin floor; tiles seamlessly, frame 16 flows into 1.
void makeCaustics(AssetSet& out);
