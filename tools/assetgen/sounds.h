#pragma once

class AssetSet;

// sounds/vrsnd2t.wav (selection: a short soft click) and sounds/vrsnd1t.wav
// (move: a watery plop), mono 16-bit 44.1 kHz.
void makeSounds(AssetSet& out);
