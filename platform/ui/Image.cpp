#include "platform/ui/Image.h"

#include "platform/core/Bundle.h"
#include "platform/core/Log.h"

#include <QImage>
#include <QImageReader>
#include <QPixmap>

#include <map>

namespace ui {

namespace {
// Every row shows one of a few pictures: each is read once while any view
// still shows it.
std::map<std::string, std::weak_ptr<Image>>& imagesInUse()
{
    static std::map<std::string, std::weak_ptr<Image>> images;
    return images;
}
} // namespace

std::shared_ptr<Image> Image::imageNamed(const std::string& name)
{
    auto dot = name.rfind('.');
    std::string base = dot == std::string::npos ? name : name.substr(0, dot);
    std::string type = dot == std::string::npos ? "png" : name.substr(dot + 1);
    auto path = core::Bundle::mainBundle().pathForResource(base, type);
    if (!path) {
        core::Log::system("Image " + name + " is not in the application's resources");
        return nullptr;
    }
    auto& shared = imagesInUse()[*path];
    if (auto image = shared.lock())
        return image;
    auto image = imageWithContentsOfFile(*path);
    shared = image;
    return image;
}

std::shared_ptr<Image> Image::imageWithContentsOfFile(const std::string& path)
{
    QImageReader reader(QString::fromStdString(path));
    // Qt reads PNG itself; asked for a file by its name alone, it first
    // loads every image plugin to ask whether it reads PNG too.
    if (path.ends_with(".png")) {
        reader.setFormat("png");
        reader.setAutoDetectImageFormat(false);
    }
    QImage image = reader.read();
    if (image.isNull()) {
        core::Log::system("Image " + path + " could not be read: " + reader.errorString().toStdString());
        return nullptr;
    }
    return std::shared_ptr<Image>(new Image(std::make_unique<QPixmap>(QPixmap::fromImage(std::move(image)))));
}

std::shared_ptr<Image> Image::imageWithPixmap(const QPixmap& pixmap)
{
    return std::shared_ptr<Image>(new Image(std::make_unique<QPixmap>(pixmap)));
}

Image::Image(std::unique_ptr<QPixmap> pixmap)
    : m_pixmap(std::move(pixmap))
{
}

Image::~Image() = default;

Size Image::size() const
{
    double ratio = m_pixmap->devicePixelRatio();
    return {m_pixmap->width() / ratio, m_pixmap->height() / ratio};
}

} // namespace ui
