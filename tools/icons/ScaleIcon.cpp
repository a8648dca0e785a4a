// Writes the application's icon at the sizes of the desktop's icon theme,
// scaled down from its large picture, as SIZExSIZE/apps/NAME.png under
// FOLDER (the hicolor theme's layout). Part of the build, so the sizes
// always follow the picture in src/resources.
//   scale_icon PICTURE NAME FOLDER SIZE...

#include <QDir>
#include <QImage>
#include <QString>

#include <cstdio>
#include <stdexcept>
#include <string>

namespace {

int sizeFrom(const char* text)
{
    bool ok = false;
    const int size = QString::fromLocal8Bit(text).toInt(&ok);
    if (!ok || size <= 0)
        throw std::runtime_error(std::string("not a size in pixels: ") + text);
    return size;
}

void writeIcon(const QImage& picture, const QString& name, const QDir& folder, int size)
{
    const QString subfolder = QString("%1x%1/apps").arg(size);
    if (!folder.mkpath(subfolder))
        throw std::runtime_error("cannot create " + folder.filePath(subfolder).toStdString());
    const QString path = folder.filePath(subfolder + "/" + name + ".png");
    const QImage icon = picture.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (!icon.save(path, "PNG"))
        throw std::runtime_error("cannot write " + path.toStdString());
}

void scaleIcon(int argc, char** argv)
{
    const QString source = QString::fromLocal8Bit(argv[1]);
    QImage picture;
    if (!picture.load(source))
        throw std::runtime_error("cannot read the picture " + source.toStdString());
    // Theme icons are square, and scaling up would only blur them.
    if (picture.width() != picture.height())
        throw std::runtime_error("the picture is not square: " + source.toStdString());
    for (int i = 4; i < argc; ++i) {
        const int size = sizeFrom(argv[i]);
        if (size > picture.width())
            throw std::runtime_error("the picture is smaller than " + std::to_string(size) + " pixels");
        writeIcon(picture, QString::fromLocal8Bit(argv[2]), QDir(QString::fromLocal8Bit(argv[3])), size);
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 5) {
        std::fprintf(stderr, "usage: scale_icon PICTURE NAME FOLDER SIZE...\n");
        return 2;
    }
    try {
        scaleIcon(argc, argv);
    } catch (const std::runtime_error& error) {
        std::fprintf(stderr, "scale_icon: %s\n", error.what());
        return 1;
    }
    return 0;
}
