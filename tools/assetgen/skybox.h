#pragma once

class AssetSet;

// models/skybox/skybox.md3 with its files and six face textures: a cube of
// half-extent 100 seen from inside, sky with clouds above, open sea below.
void makeSkyBox(AssetSet& out);
