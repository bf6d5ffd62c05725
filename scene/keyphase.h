#pragma once

// Which event of a key press the scene is handling: the press, one frame of
// holding, or the release.
enum class KeyPhase { Down, Held, Up };
