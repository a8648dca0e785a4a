#pragma once

#include "Classes/Note.h"

#include "platform/ui/Geometry.h"

#include <functional>
#include <memory>
#include <string>

namespace ui {
class ImageView;
class Label;
class View;
} // namespace ui

// What a note's row shows in the notes list and on the export screen: its
// coloured icon with the number on it, its title, date and time; and the
// flip between the icon and a second face.
class NoteCellViews {
public:
    static constexpr ui::Size kDefaultIconSize{70, 70};
    static constexpr double kFlipDuration = 0.75;

    struct Icon {
        std::shared_ptr<ui::View> container;
        std::shared_ptr<ui::ImageView> image;
        std::shared_ptr<ui::Label> number;
    };
    struct Labels {
        std::shared_ptr<ui::Label> title;
        std::shared_ptr<ui::Label> date;
        std::shared_ptr<ui::Label> time;
    };

    // The bundle image, or an empty view of the usual size when it is missing.
    static std::shared_ptr<ui::ImageView> makeImageView(const std::string& name);
    // The icon in its container at (10, 5) of the content view.
    static Icon makeIcon(ui::View& contentView, const Note& note);
    static Labels makeLabels(ui::View& contentView, const Note& note, double dateWidth);
    // What a screen reader says for a note's row: its title, its colour and
    // number (the colour is never the only cue), its date and time.
    static std::string accessibilityLabel(const Note& note, const Labels& labels);
    // Shows the other face in the container with a flip; `changes` runs
    // inside the animation, told whether the second face is now shown.
    static void flip(ui::View& container, ui::View& firstFace, ui::View& secondFace,
                     const std::function<void(bool toSecond)>& changes = nullptr);
};
