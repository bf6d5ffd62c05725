#pragma once

// Where the board and the basin's rim lie in the basin texture
// (textures/table/table-01-c.png), in texture coordinates, the same along both
// axes: the basin's quads are mapped with them and the asset generator paints
// the picture to them.
constexpr float kBasinBoardLow = 0.249382f;
constexpr float kBasinBoardHigh = 0.747358f;
constexpr float kBasinRimLow = 0.172232f;
constexpr float kBasinRimHigh = 0.824956f;
