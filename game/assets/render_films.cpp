#include "game/assets/render_groups.h"

namespace world_render {

void AddFilms(std::vector<content::Asset>&) {}

}  // namespace world_render
