#pragma once

// What the scene needs from the application around it.
class SceneHost {
public:
    SceneHost() = default;
    SceneHost(const SceneHost&) = delete;
    SceneHost& operator=(const SceneHost&) = delete;
    virtual ~SceneHost() = default;

    // True while a menu is shown over the game: the scene stands still and ignores input.
    virtual bool isGamePaused() const = 0;
    // Pauses the game and shows the menus over it.
    virtual void returnToMenus() = 0;
    // A screen drawn over the scene takes the pointer at (x, y), fractions of
    // the window from the top left: the board under it is neither picked
    // nor clicked, and the buttons are left to that screen.
    virtual bool coversPointer(float, float) const { return false; }
};
