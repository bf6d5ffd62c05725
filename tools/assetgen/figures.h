#pragma once

class AssetSet;

// models/sporlet/spr-slime.md3, spr-slime-low.md3, spr-spike.md3 and
// spr-spike-low.md3 with their .cfg and .skin files and skin textures: the
// two figure kinds, standing on their origin within z 0..1 and a radius of
// about 0.55, faces towards +y (the game turns them to the camera).
void makeFigures(AssetSet& out);
