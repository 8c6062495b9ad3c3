#include "game/assets/render_groups.h"

namespace world_render {

void AddDepths(std::vector<content::Asset>&) {}

}  // namespace world_render
