#pragma once

#include "platform/ui/Geometry.h"

// Where the browser's toolbar sits: the list under it keeps its last row
// clear of it.
struct BrowserLayout {
    static constexpr ui::Rect kToolbarFrame{0, 430, 320, 30};
};
