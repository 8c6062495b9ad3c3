#include "world/world_actionlist.h"

WorldAction* WorldActionlist::addAction(int code)
{
    c_pActions.push_back(std::make_unique<WorldAction>(code));
    return c_pActions.back().get();
}
