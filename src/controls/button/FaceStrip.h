#pragma once

#include <QImage>
#include <QRect>

#include <array>

// The button's face pictures: one row of five 18 x 21 cells (normal, pressed,
// disabled, hover, focused), each read as nine slices around a 3-pixel frame
// so that a face stretches to any button size without distorting its border.
class FaceStrip
{
public:
    enum Face { Normal = 0, Pressed = 1, Disabled = 2, Hover = 3, Focused = 4 };
    enum Slice {
        TopLeft, Top, TopRight, Left, Centre, Right, BottomLeft, Bottom, BottomRight
    };
    static constexpr int CellCount = 5;
    static constexpr int CellWidth = 18;
    static constexpr int CellHeight = 21;
    static constexpr int Border = 3;

    // Starts with the program's own artwork.
    FaceStrip();

    // Replaces the artwork; the picture must be 90 x 21 pixels.
    void setPicture(const QImage &picture);
    const QImage &picture() const { return m_picture; }

    QImage cell(int face) const;
    // Where a slice lies within a cell.
    static QRect sliceRect(Slice slice);
    // One slice of one face, cut once so that stretching never samples a
    // neighbouring slice.
    const QImage &slice(int face, Slice slice) const;

    // The artwork drawn in code, shared by every button.
    static const QImage &drawnPicture();

private:
    QImage m_picture;
    std::array<std::array<QImage, 9>, CellCount> m_slices;
};
