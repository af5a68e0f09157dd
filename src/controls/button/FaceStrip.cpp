#include "controls/button/FaceStrip.h"

#include <QColor>

#include <algorithm>

namespace {

struct Look
{
    QRgb border;
    QRgb light;   // inner ring, top and left
    QRgb shade;   // inner ring, bottom and right
    QRgb top;     // face gradient
    QRgb bottom;
};

// Normal, pressed, disabled, hover, focused.
constexpr Look Looks[FaceStrip::CellCount] = {
    {qRgb(122, 116, 98), qRgb(255, 255, 255), qRgb(214, 208, 190), qRgb(252, 250, 244), qRgb(226, 219, 198)},
    {qRgb(94, 88, 70), qRgb(190, 183, 162), qRgb(236, 232, 220), qRgb(214, 207, 186), qRgb(236, 231, 218)},
    {qRgb(190, 187, 176), qRgb(240, 238, 232), qRgb(232, 230, 224), qRgb(238, 236, 230), qRgb(230, 228, 221)},
    {qRgb(196, 140, 40), qRgb(255, 226, 160), qRgb(246, 206, 130), qRgb(255, 251, 238), qRgb(246, 230, 192)},
    {qRgb(52, 98, 168), qRgb(186, 208, 240), qRgb(150, 180, 226), qRgb(248, 251, 255), qRgb(218, 228, 242)},
};

// The dialogs' background, showing through the rounded corners.
constexpr QRgb Background = qRgb(239, 231, 206);

QRgb mix(QRgb a, QRgb b, double t)
{
    auto channel = [t](int x, int y) { return int(x + (y - x) * t + 0.5); };
    return qRgb(channel(qRed(a), qRed(b)), channel(qGreen(a), qGreen(b)),
                channel(qBlue(a), qBlue(b)));
}

// Every colour depends on the distance to the cell's edge and on the row
// only, so each slice stays uniform along the direction it is stretched in.
void drawCell(QImage &image, int face)
{
    const Look &look = Looks[face];
    const int w = FaceStrip::CellWidth;
    const int h = FaceStrip::CellHeight;
    for (int y = 0; y < h; ++y) {
        const double t = std::clamp((y - 2) / double(h - 5), 0.0, 1.0);
        const QRgb fill = mix(look.top, look.bottom, t);
        for (int x = 0; x < w; ++x) {
            const int ring = std::min({x, y, w - 1 - x, h - 1 - y});
            const bool corner = (x == 0 || x == w - 1) && (y == 0 || y == h - 1);
            QRgb c = fill;
            if (corner)
                c = mix(Background, look.border, 0.3);
            else if (ring == 0)
                c = look.border;
            else if (ring == 1)
                c = (x == 1 || y == 1) && x != w - 2 && y != h - 2 ? look.light : look.shade;
            image.setPixel(face * w + x, y, c);
        }
    }
}

} // namespace

FaceStrip::FaceStrip()
{
    setPicture(drawnPicture());
}

void FaceStrip::setPicture(const QImage &picture)
{
    Q_ASSERT(picture.width() == CellCount * CellWidth && picture.height() == CellHeight);
    m_picture = picture;
    for (int face = 0; face < CellCount; ++face) {
        const QPoint origin(face * CellWidth, 0);
        for (int s = 0; s < 9; ++s)
            m_slices[face][s] = m_picture.copy(sliceRect(Slice(s)).translated(origin));
    }
}

QImage FaceStrip::cell(int face) const
{
    return m_picture.copy(face * CellWidth, 0, CellWidth, CellHeight);
}

QRect FaceStrip::sliceRect(Slice slice)
{
    const int inner = CellWidth - 2 * Border;
    const int innerHeight = CellHeight - 2 * Border;
    const int far = CellWidth - Border;
    const int bottom = CellHeight - Border;
    switch (slice) {
    case TopLeft: return {0, 0, Border, Border};
    case Top: return {Border, 0, inner, Border};
    case TopRight: return {far, 0, Border, Border};
    case Left: return {0, Border, Border, innerHeight};
    case Centre: return {Border, Border, inner, innerHeight};
    case Right: return {far, Border, Border, innerHeight};
    case BottomLeft: return {0, bottom, Border, Border};
    case Bottom: return {Border, bottom, inner, Border};
    case BottomRight: return {far, bottom, Border, Border};
    }
    return {};
}

const QImage &FaceStrip::slice(int face, Slice slice) const
{
    return m_slices[std::clamp(face, 0, CellCount - 1)][slice];
}

const QImage &FaceStrip::drawnPicture()
{
    static const QImage picture = [] {
        QImage image(CellCount * CellWidth, CellHeight, QImage::Format_RGB32);
        for (int face = 0; face < CellCount; ++face)
            drawCell(image, face);
        return image;
    }();
    return picture;
}
