// The phase controller: once per frame runs the menu, the world or the credits, keeps the
// music and sounds ticking, and hands over between the phases. Owns none of the objects.
#pragma once

class CreditsManager;
class GameSoundManager;
class MenuManager;
class MouseManager;
class MusicManager;
class WorldManager;

class GameManager {
public:
    enum Phase { kMenu = 0, kWorld = 1, kCredits = 2 };

    explicit GameManager(GameSoundManager* soundManager);

    void SetWorldManager(WorldManager* worldManager) { c_pWorldManager = worldManager; }
    void SetMouseManager(MouseManager* mouseManager) { c_pMouseManager = mouseManager; }
    void SetMusicManager(MusicManager* musicManager) { c_pMusicManager = musicManager; }
    void SetCreditsManager(CreditsManager* creditsManager) { c_pCreditsManager = creditsManager; }
    // Stores the menu and loads it at once (its pictures, the menu music, the fade).
    void SetMenuManager(MenuManager* menuManager);

    // One frame of the current phase; false when the program is to end.
    bool Run();

    int get_Phase() const { return c_iPhase; }

private:
    bool RunMenu();
    void RunWorld();
    void RunCredits();
    // Clears every sound and shows the menu on `page`.
    void EnterMenu(int page);

    WorldManager* c_pWorldManager = nullptr;
    MouseManager* c_pMouseManager = nullptr;
    MenuManager* c_pMenuManager = nullptr;
    GameSoundManager* c_pGameSoundManager;
    MusicManager* c_pMusicManager = nullptr;
    CreditsManager* c_pCreditsManager = nullptr;
    int c_iPhase = kMenu;
};
