#pragma once

class AssetSet;

// models/table/table-outside.md3 with its files and skins: a stone coping
// and a wooden deck around the 64 x 64 basin on a stone pedestal. The game
// draws it scaled by 64 and moved by (32, 32, -12); the basin opening, model
// x and y within -0.5..0.5, stays open.
void makeTable(AssetSet& out);
