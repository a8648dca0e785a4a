#pragma once

#include "platform/ui/Image.h"
#include "platform/ui/View.h"

#include <memory>

class QLabel;

namespace ui {

// Shows one image, scaled to the view's frame.
class ImageView : public View {
public:
    // The frame starts at the image's own size.
    explicit ImageView(std::shared_ptr<Image> image = nullptr);

    const std::shared_ptr<Image>& image() const { return m_image; }
    void setImage(std::shared_ptr<Image> image);

private:
    QLabel& label() const;
    std::shared_ptr<Image> m_image;
};

} // namespace ui
