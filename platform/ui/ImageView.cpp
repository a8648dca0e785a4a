#include "platform/ui/ImageView.h"

#include <QLabel>
#include <QPixmap>

namespace ui {

ImageView::ImageView(std::shared_ptr<Image> image)
    : View(new QLabel, image ? Rect{0, 0, image->size().width, image->size().height} : Rect{})
{
    label().setScaledContents(true);
    setImage(std::move(image));
}

QLabel& ImageView::label() const { return static_cast<QLabel&>(*widget()); }

void ImageView::setImage(std::shared_ptr<Image> image)
{
    m_image = std::move(image);
    label().setPixmap(m_image ? m_image->pixmap() : QPixmap());
}

} // namespace ui
