#pragma once

#include <QColor>
#include <QImage>

// Draws the application's pictures on transparent backgrounds. They are shown
// at one point per pixel, so every length here is in pixels.
class Pictures {
public:
    static constexpr int kIconSize = 70;
    static constexpr int kSmallIconSize = 30;

    // A note's coloured tile, size × size. The application writes the note's
    // number across the middle of the large one, so its centre stays plain.
    static QImage noteIcon(const QColor& colour, int size);

    // The tile under the progress ring of the note being played, with the
    // ring's empty track.
    static QImage playing();

    // The tile of a note being uploaded: an upload glyph at the top, the
    // middle left for an activity indicator and the bottom for a label.
    static QImage exporting();

    // The empty note list's picture: a microphone in soft greys.
    static QImage noNote();

    // The toolbar's search button: a white magnifying glass, 18 × 18.
    static QImage search();
};
