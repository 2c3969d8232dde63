// The tree walk behind DeleteTree, as both sides of the platform layer build it. An
// observer, when one is given, sees the full path of each child after its folder was
// listed and before the walk opens it: the moment at which another program could swap
// the child for a link. DeleteTree passes none.
#pragma once

#include "platform/deletion.h"

#include <functional>
#include <string>

namespace platform::walk {

using BeforeOpeningChild = std::function<void(const std::string& childPath)>;

TreeDeletion DeleteTree(const std::string& folder, const BeforeOpeningChild& observer);

} // namespace platform::walk
