#pragma once

#include "platform/ui/Geometry.h"

#include <memory>
#include <string>

class QPixmap;

namespace ui {

// A picture loaded from a file (PNG and the other formats Qt reads).
class Image {
public:
    // The main bundle's resource "name" (its type taken from the name's
    // extension, "png" when it has none); none when missing or unreadable.
    // The same picture while one is still in use.
    static std::shared_ptr<Image> imageNamed(const std::string& name);
    static std::shared_ptr<Image> imageWithContentsOfFile(const std::string& path);
    // A picture drawn by the platform layer itself.
    static std::shared_ptr<Image> imageWithPixmap(const QPixmap& pixmap);

    ~Image();
    Size size() const;
    const QPixmap& pixmap() const { return *m_pixmap; }

private:
    explicit Image(std::unique_ptr<QPixmap> pixmap);
    std::unique_ptr<QPixmap> m_pixmap;
};

} // namespace ui
