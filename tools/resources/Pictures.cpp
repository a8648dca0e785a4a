#include "Pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPen>

#include <algorithm>
#include <cmath>

namespace {

// The application draws the playback progress ring with this geometry; the
// track under it must match.
constexpr QPointF kRingCentre(34, 34.5);
constexpr qreal kRingRadius = 20;
constexpr qreal kRingWidth = 11.5;

QImage transparentImage(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

void antialias(QPainter& painter) { painter.setRenderHint(QPainter::Antialiasing); }

// A rounded square with a top-to-bottom gradient from `top` to `bottom`, a
// soft shadow, a gloss over its upper half and a thin `border`.
void paintTile(QPainter& painter, const QRectF& tile, const QColor& top, const QColor& bottom, const QColor& border)
{
    const qreal scale = tile.width() / Pictures::kIconSize;
    const qreal borderWidth = std::max(1.0, 1.3 * scale);
    QPainterPath shape;
    shape.addRoundedRect(tile, tile.width() * 0.22, tile.width() * 0.22);

    painter.fillPath(shape.translated(0, std::max(1.0, 1.5 * scale)), QColor(0, 0, 0, 45));

    QLinearGradient fill(tile.topLeft(), tile.bottomLeft());
    fill.setColorAt(0, top);
    fill.setColorAt(1, bottom);
    painter.fillPath(shape, fill);

    QLinearGradient gloss(tile.topLeft(), QPointF(tile.left(), tile.center().y()));
    gloss.setColorAt(0, QColor(255, 255, 255, 90));
    gloss.setColorAt(1, QColor(255, 255, 255, 0));
    painter.fillPath(shape, gloss);

    painter.strokePath(shape, QPen(border, borderWidth));
}

void paintTrack(QPainter& painter)
{
    painter.setPen(QPen(QColor(255, 255, 255, 45), kRingWidth));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(kRingCentre, kRingRadius, kRingRadius);
}

// A play triangle whose centroid sits on the ring's centre.
void paintPlayGlyph(QPainter& painter)
{
    const QPointF corners[] = {kRingCentre + QPointF(-4.7, -8), kRingCentre + QPointF(-4.7, 8),
                               kRingCentre + QPointF(9.4, 0)};
    const QColor colour(255, 255, 255, 235);
    painter.setPen(QPen(colour, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(colour);
    painter.drawPolygon(corners, 3);
}

// The sending tile's colour at its foot; the upload arrow shares it.
const QColor kSendingBlue(0x2F, 0x73, 0xC9);

// A white cloud with an upward arrow in the tile's blue, centred on `centre`.
void paintUploadGlyph(QPainter& painter, const QPointF& centre)
{
    QPainterPath cloud;
    cloud.setFillRule(Qt::WindingFill);
    cloud.addRoundedRect(QRectF(centre + QPointF(-14, -1), QSizeF(28, 10)), 5, 5);
    cloud.addEllipse(centre + QPointF(-6, 0.5), 6.5, 6.5);
    cloud.addEllipse(centre + QPointF(4, -1.5), 8, 8);
    cloud = cloud.simplified();
    // The shadow sets the cloud apart from the tile's gloss.
    painter.fillPath(cloud.translated(0, 1), QColor(0x1D, 0x4E, 0x8C, 110));
    painter.fillPath(cloud, QColor(255, 255, 255, 245));

    QPainterPath arrow;
    arrow.moveTo(centre + QPointF(0, 6));
    arrow.lineTo(centre + QPointF(0, -4));
    arrow.moveTo(centre + QPointF(-4, 0));
    arrow.lineTo(centre + QPointF(0, -4));
    arrow.lineTo(centre + QPointF(4, 0));
    painter.strokePath(arrow, QPen(kSendingBlue, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
}

// The empty list's microphone, laid out around the centre of its head.
constexpr QSizeF kMicrophoneHead(84, 124);
const QColor kMicrophoneOutline(0x9C, 0xA3, 0xAE);
const QColor kMicrophoneMetal(0xB0, 0xB6, 0xC0);

void paintMicrophoneHead(QPainter& painter, const QPointF& centre)
{
    QRectF head(QPointF(), kMicrophoneHead);
    head.moveCenter(centre);
    const qreal radius = head.width() / 2;
    QPainterPath shape;
    shape.addRoundedRect(head, radius, radius);

    // Lit from the upper left, like a metal cylinder.
    QLinearGradient metal(head.topLeft(), head.topRight());
    metal.setColorAt(0, QColor(0xD8, 0xDC, 0xE3));
    metal.setColorAt(0.35, QColor(0xEE, 0xF0, 0xF4));
    metal.setColorAt(1, QColor(0xB4, 0xBA, 0xC4));
    painter.fillPath(shape, metal);

    QPainterPath grilleArea;
    const QRectF inner = head.adjusted(12, 12, -12, -12);
    grilleArea.addRoundedRect(inner, inner.width() / 2, inner.width() / 2);
    painter.save();
    painter.setClipPath(grilleArea);
    painter.setPen(QPen(QColor(0xA9, 0xB0, 0xBB), 3));
    for (qreal y = inner.top() + 6; y < centre.y() + 10; y += 10)
        painter.drawLine(QPointF(head.left(), y), QPointF(head.right(), y));
    painter.restore();

    painter.strokePath(shape, QPen(kMicrophoneOutline, 3));
}

// The U-shaped holder under the head, the stem and the foot.
void paintMicrophoneStand(QPainter& painter, const QPointF& headCentre)
{
    const qreal holderRadius = kMicrophoneHead.width() / 2 + 16;
    const QPointF holderCentre = headCentre + QPointF(0, 8);
    const qreal holderBottom = holderCentre.y() + holderRadius;
    const qreal stemBottom = holderBottom + 54;

    painter.setPen(QPen(kMicrophoneMetal, 9, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    painter.drawArc(
        QRectF(holderCentre - QPointF(holderRadius, holderRadius), QSizeF(2 * holderRadius, 2 * holderRadius)),
        180 * 16, 180 * 16);
    painter.drawLine(QPointF(headCentre.x(), holderBottom), QPointF(headCentre.x(), stemBottom));

    QRectF foot(0, 0, 96, 14);
    foot.moveCenter(QPointF(headCentre.x(), stemBottom + 5));
    painter.setPen(QPen(kMicrophoneOutline, 2));
    painter.setBrush(kMicrophoneMetal);
    painter.drawRoundedRect(foot, 7, 7);
}

// Two arcs either side of the head, as if it were hearing something.
void paintSoundWaves(QPainter& painter, const QPointF& centre)
{
    const struct {
        qreal radius;
        QColor colour;
    } waves[] = {{82, QColor(0xC2, 0xC8, 0xD1)}, {106, QColor(0xD3, 0xD7, 0xDE)}};
    constexpr int kHalfSpan = 24 * 16;
    painter.setBrush(Qt::NoBrush);
    for (const auto& wave : waves) {
        painter.setPen(QPen(wave.colour, 7, Qt::SolidLine, Qt::RoundCap));
        const QRectF circle(centre - QPointF(wave.radius, wave.radius), QSizeF(2 * wave.radius, 2 * wave.radius));
        painter.drawArc(circle, -kHalfSpan, 2 * kHalfSpan);
        painter.drawArc(circle, 180 * 16 - kHalfSpan, 2 * kHalfSpan);
    }
}

} // namespace

QImage Pictures::noteIcon(const QColor& colour, int size)
{
    QImage image = transparentImage(size, size);
    QPainter painter(&image);
    antialias(painter);
    // The edge sits on pixel centres so the thin border stays sharp.
    const qreal margin = std::floor(3.0 * size / kIconSize) + 0.5;
    const QRectF tile = QRectF(0, 0, size, size).adjusted(margin, margin, -margin, -margin);
    paintTile(painter, tile, colour.lighter(112), colour.darker(108), colour.darker(150));
    return image;
}

QImage Pictures::playing()
{
    QImage image = transparentImage(kIconSize, kIconSize);
    QPainter painter(&image);
    antialias(painter);
    // Centred on the ring rather than on the image, so the ring sits evenly.
    QRectF tile(0, 0, 64, 64);
    tile.moveCenter(kRingCentre);
    paintTile(painter, tile, QColor(0x45, 0x4B, 0x55), QColor(0x22, 0x25, 0x2B), QColor(0x14, 0x16, 0x19));
    paintTrack(painter);
    paintPlayGlyph(painter);
    return image;
}

QImage Pictures::exporting()
{
    QImage image = transparentImage(kIconSize, kIconSize);
    QPainter painter(&image);
    antialias(painter);
    const QRectF tile(3, 3, 64, 64);
    paintTile(painter, tile, QColor(0x6A, 0xAE, 0xF5), kSendingBlue, QColor(0x23, 0x56, 0x97));
    paintUploadGlyph(painter, QPointF(35, 16));
    return image;
}

QImage Pictures::noNote()
{
    QImage image = transparentImage(320, 280);
    QPainter painter(&image);
    antialias(painter);
    const QPointF headCentre(160, 102);
    paintSoundWaves(painter, headCentre - QPointF(0, 20));
    paintMicrophoneStand(painter, headCentre);
    paintMicrophoneHead(painter, headCentre);
    return image;
}

QImage Pictures::search()
{
    QImage image = transparentImage(18, 18);
    QPainter painter(&image);
    antialias(painter);
    painter.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QRectF(2, 2, 10, 10));
    painter.setPen(QPen(Qt::white, 2.5, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(11, 11), QPointF(16, 16));
    return image;
}
