// The action codes of the world's script: what one WorldAction does when its list runs.
// Plain enumerators so that the world definition and saved worlds keep their numeric values.
#pragma once

enum ActionCode : int {
    ACT_GotoScreen = 0,
    ACT_ReloadScreen = 1,
    ACT_SetVar = 2,
    ACT_ActivateItem = 3,
    ACT_ShowItem = 4,
    ACT_HideCursor = 5,
    ACT_HideInventory = 6,
    ACT_PlaySound = 7,
    ACT_Wait = 8,
    ACT_PlayVideo = 9,
    ACT_PlaySong = 10,
    ACT_ClickArray = 11,
    ACT_StartRepetiveSound = 12,
    ACT_DropItem = 13,
    ACT_EndGame = 14,
};
