#include "game/assets/render_groups.h"

namespace world_render {

void AddHalls(std::vector<content::Asset>&) {}

}  // namespace world_render
