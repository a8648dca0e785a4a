// Draws the application's pictures and makes its alert sound, writing them
// into the folder given as the only argument (normally src/resources).
//   make_resources FOLDER

#include "AlertChime.h"
#include "Pictures.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QRgb>
#include <QStringList>

#include <cstdio>
#include <stdexcept>

namespace {

struct NoteColour {
    const char* name;
    QRgb rgb;
};

// Light enough for the black number the application writes on the icons.
constexpr NoteColour kNoteColours[] = {
    {"Yellow", 0xF7D23E}, {"Green", 0x7BD46B},  {"Blue", 0x6FA8F0},
    {"Red", 0xF07167},    {"Orange", 0xF7A440}, {"Violet", 0xB58BE8},
};

void reportWritten(const QString& path) { std::printf("wrote %s\n", qPrintable(QDir::toNativeSeparators(path))); }

void savePicture(const QImage& picture, const QDir& folder, const QString& name)
{
    const QString path = folder.filePath(name);
    if (!picture.save(path, "PNG"))
        throw std::runtime_error("cannot write " + path.toStdString());
    reportWritten(path);
}

void makeResources(const QDir& folder)
{
    if (!folder.mkpath("."))
        throw std::runtime_error("cannot create the folder " + folder.path().toStdString());
    for (const NoteColour& colour : kNoteColours) {
        const QString name = QString::fromLatin1(colour.name) + "Icon";
        savePicture(Pictures::noteIcon(QColor(colour.rgb), Pictures::kIconSize), folder, name + ".png");
        savePicture(Pictures::noteIcon(QColor(colour.rgb), Pictures::kSmallIconSize), folder, name + "_small.png");
    }
    savePicture(Pictures::playing(), folder, "playing.png");
    savePicture(Pictures::exporting(), folder, "exporting.png");
    savePicture(Pictures::noNote(), folder, "nonote.png");
    savePicture(Pictures::search(), folder, "search.png");
    // The application's own icon, for the desktop's menus and the window.
    savePicture(Pictures::playing().scaled(256, 256, Qt::KeepAspectRatio, Qt::SmoothTransformation), folder,
                "voicenotes.png");

    const QString alert = folder.filePath("alert.caf");
    AlertChime::write(alert);
    reportWritten(alert);
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication application(argc, argv);
    const QStringList arguments = QGuiApplication::arguments();
    if (arguments.size() != 2) {
        std::fprintf(stderr, "usage: make_resources FOLDER\n");
        return 2;
    }
    try {
        makeResources(QDir(arguments[1]));
    } catch (const std::runtime_error& error) {
        std::fprintf(stderr, "make_resources: %s\n", error.what());
        return 1;
    }
    return 0;
}
