#pragma once

#include <QPushButton>
#include <QtGlobal>

// A flat push button without caption, painted all over in its colour. The
// colour is kept as the settings hold it (0x00BBGGRR or a system colour
// reference), so a system colour comes back unchanged.
class ColorSwatch : public QPushButton
{
    Q_OBJECT

public:
    explicit ColorSwatch(QWidget *parent = nullptr);

    quint32 BackColor() const { return m_backColor; }
    void setBackColor(quint32 value);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    quint32 m_backColor = 0;
};
