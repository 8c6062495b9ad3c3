#include "media/subtitle_item.h"

const char* SubtitleItem::Get(std::uint32_t time) const
{
    for (std::size_t i = 0; i < c_pItems.size(); ++i) {
        if (c_pItems[i].get_Time() >= time) {
            // At or before the first entry there is no earlier line: show none.
            return i == 0 ? "" : c_pItems[i - 1].get_Line();
        }
    }
    return c_pItems.empty() ? "" : c_pItems.back().get_Line();
}
