#pragma once

#include <memory>
#include <string>

class ImageTexture2D;

// The image texture of file, or null with a WARNING from source: a missing
// picture of the scene is a soft problem.
std::unique_ptr<ImageTexture2D> loadSceneTexture(const std::string& file, const char* source);

// Sets the active texture unit to previous * alpha + texture * (1 - alpha),
// alpha taken from the unit's constant colour; the alpha channel passes the
// previous unit's through.
void interpolateWithPrevious(float alpha);
