// The game's own texts (game/po/kelvane.pot in the source tree), English, read once for the
// tools tests that build the game's assets.
#pragma once

#include "core/text_catalogue.h"

namespace tools_test {

inline const TextCatalogue& GameTexts()
{
    static const TextCatalogue texts = TextCatalogue::Load(KELVANE_GAME_TEXTS, {});
    return texts;
}

}  // namespace tools_test
