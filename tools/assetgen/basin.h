#pragma once

class AssetSet;

// textures/table/table-01-c.png (the basin: floor with the 9 x 9 fields and
// the four walls, laid out as the water table maps them) and
// textures/table/table-fields.png (the field grid alone).
void makeBasinTextures(AssetSet& out);
