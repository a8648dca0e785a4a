#include "platform/ui/Image.h"

#include "platform/core/Bundle.h"
#include "platform/core/Log.h"

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
    auto pixmap = std::make_unique<QPixmap>();
    if (!pixmap->load(QString::fromStdString(path))) {
        core::Log::system("Image " + path + " could not be read");
        return nullptr;
    }
    return std::shared_ptr<Image>(new Image(std::move(pixmap)));
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
