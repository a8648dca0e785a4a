#pragma once

#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Image.h"

#include <memory>

namespace ui {

// The icons of the bar's system items that are pictures (play, pause,
// trash); none for the items shown as text or not at all.
class SystemItemImage {
public:
    static std::shared_ptr<Image> forItem(BarButtonSystemItem item);
};

} // namespace ui
