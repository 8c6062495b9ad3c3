#include "game/assets/render_groups.h"

namespace world_render {

void AddShore(std::vector<content::Asset>&) {}

}  // namespace world_render
