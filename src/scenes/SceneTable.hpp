#pragma once

#include "runtime/MainLoop.hpp"

/// The demo's scene routines by id, in the order they play:
/// 0, 1, 2, 3, 4, 5, 6, 65, 7, 8, 9, 10, 11, 12, then 666 ends the demo.
/// An id whose routine has not been written yet has no entry, so its frames stay black.
const SceneTable& demoScenes();
