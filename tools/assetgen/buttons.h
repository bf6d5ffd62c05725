#pragma once

class AssetSet;

// textures/buttons/btn1{a,b,c}_{n,mo,d}.png: left cap, stretchable middle and
// right cap of the push button in its normal, mouse-over and pressed looks.
void makeButtonTextures(AssetSet& out);
