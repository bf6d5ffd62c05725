#pragma once

#include "tools/assetgen/canvas.h"

// The desktop icon: a corner of the board under water, a slime and a spike
// on neighbouring fields. size is the edge in pixels (at least 16).
Canvas paintIcon(int size);
