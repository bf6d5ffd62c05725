#pragma once

// Whether the OpenGL renderer draws on the processor itself (Mesa's llvmpipe
// and softpipe, the generic software rasteriser). Such a renderer pays for
// every pass and every pixel with the processor's time, so the fluid solver
// and the scene's quality choose cheaper ways there.
bool isSoftwareRendererName(const char* renderer);
// Asks the current context; false without one.
bool isSoftwareRenderer();
