#include "ui/prefs/ColorSwatch.h"

#include "app/Conversion.h"

#include <QPainter>

ColorSwatch::ColorSwatch(QWidget *parent) : QPushButton(parent)
{
    setFlat(true);
    // Enter in the dialog's text boxes must not open the colour dialog.
    setAutoDefault(false);
}

void ColorSwatch::setBackColor(quint32 value)
{
    m_backColor = value;
    update();
}

void ColorSwatch::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QRect all = rect();
    p.fillRect(all, Conversion::ColorFromValue(m_backColor));
    // A thin frame that sinks while the button is held down.
    const bool down = isDown();
    p.setPen(down ? QColor(64, 64, 64) : QColor(255, 255, 255));
    p.drawLine(all.topLeft(), all.topRight());
    p.drawLine(all.topLeft(), all.bottomLeft());
    p.setPen(down ? QColor(255, 255, 255) : QColor(64, 64, 64));
    p.drawLine(all.bottomLeft(), all.bottomRight());
    p.drawLine(all.topRight(), all.bottomRight());
    if (hasFocus()) {
        // Dotted, in whichever of black and white shows on the colour.
        const bool dark = Conversion::ColorFromValue(m_backColor).lightness() < 128;
        p.setPen(QPen(dark ? Qt::white : Qt::black, 1, Qt::DotLine));
        p.drawRect(all.adjusted(3, 3, -4, -4));
    }
}
