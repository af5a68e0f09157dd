#pragma once

#include "controls/button/FaceStrip.h"

#include <QFont>
#include <QList>
#include <QPoint>
#include <QString>
#include <QWidget>

#include <functional>

class PropertyBag;
class QLabel;
class QTimer;

// The program's own push button, used on every dialog. It paints one of five
// faces (normal, pressed, disabled, hover, focused) stretched from `pc`, shows
// its caption in the transparent label `lbl` centred over the face, and polls
// the cursor with `Timer1` while the mouse may be over it, because nothing
// tells it when the cursor leaves.
//
// Keys have no meaning of their own: Space and Enter only raise KeyDown,
// KeyPress and KeyUp, and the key event then goes on to the parent (so a
// dialog keeps its Escape). From the keyboard the button is clicked only by
// its access key: the letter after "&" in the caption with Alt, or alone
// while the focused widget of the window does not take typed text.
//
// A dialog creates its buttons from their stored data:
//
//     auto *cmdNext = Qorvikcmd::Load(this, QStringLiteral("cmdNext"), {
//         {QStringLiteral("_extentx"), Qorvikcmd::HimetricFromTwips(1455)},
//         {QStringLiteral("_extenty"), Qorvikcmd::HimetricFromTwips(375)},
//         {QStringLiteral("caption"), QStringLiteral("&Suivant")},
//         {QStringLiteral("font"), Qorvikcmd::DesignFont(QStringLiteral("Verdana"), 8.25)}});
//     cmdNext->move(x, y);   // the form's own placement, in pixels
//     connect(cmdNext, &Qorvikcmd::Click, this, &Search::cmdNext_Click);
//
// and afterwards uses Caption/setCaption, QWidget::setEnabled, move, hide and
// the Click signal. Tab order is the dialog's (QWidget::setTabOrder).
//
// Event arguments are references, as handlers may change them: buttons and
// shift states are bit sets (left 1, right 2, middle 4; Shift 1, Ctrl 2,
// Alt 4), coordinates are pixels of the button, key codes are Windows
// virtual-key codes. Connect to them directly (never queued).
class Qorvikcmd : public QWidget
{
    Q_OBJECT

public:
    explicit Qorvikcmd(QWidget *parent = nullptr);

    // Creates a child of parent named name and sizes it from "_extentx" and
    // "_extenty" (HIMETRIC) before reading its properties from stored.
    static Qorvikcmd *Load(QWidget *parent, const QString &name, const PropertyBag &stored);
    static int HimetricFromTwips(int twips);
    // A font as forms store it: family and points, regular, falling back to
    // a sans-serif face where the family is missing.
    static QFont DesignFont(const QString &family, qreal pointSize);

    // Enabled is QWidget's enabled flag: setEnabled() refreshes the face and
    // the caption colour. The font is QWidget's font: setFont() also sets
    // the caption's font and re-centres it.
    bool Enabled() const { return isEnabled(); }
    // 0 rests on the normal face, 1 on the focused face; other values keep
    // the resting face as it was.
    int State() const { return m_state; }
    void setState(int state);
    QString Caption() const { return m_caption; }
    void setCaption(const QString &caption);
    QFont Font() const { return font(); }

    // First placement on a form: enabled, captioned with its name, in the
    // parent's font.
    void InitProperties();
    void ReadProperties(const PropertyBag &bag);
    // Values equal to their defaults are left out.
    void WriteProperties(PropertyBag &bag) const;

    void RefreshFace();
    void PaintFace(int face);
    // The face painted last, which paintEvent shows.
    int face() const { return m_face; }

    // Where hover tracking reads the cursor, in global pixels; QCursor::pos()
    // unless replaced (tests).
    void setCursorSource(std::function<QPoint()> source);
    // One tick of Timer1: the cursor gone puts the resting face back.
    void Timer1_Timer();

    QLabel *lbl = nullptr;
    QTimer *Timer1 = nullptr;
    FaceStrip pc;

signals:
    void Click();
    void KeyDown(short &KeyCode, short &Shift);
    void KeyPress(short &KeyAscii);
    void KeyUp(short &KeyCode, short &Shift);
    void MouseOut();
    void MouseDown(short &Button, short &Shift, float &X, float &Y);
    void MouseMove(short &Button, short &Shift, float &X, float &Y);
    void MouseUp(short &Button, short &Shift, float &X, float &Y);
    // A stored property changed, so the form's stored data is out of date.
    void PropertyChanged(const QString &name);

protected:
    bool event(QEvent *e) override;
    void changeEvent(QEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void showEvent(QShowEvent *e) override;
    void focusInEvent(QFocusEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void keyReleaseEvent(QKeyEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    void writeEnabled(bool enabled);
    void writeFont(const QFont &font);
    void enabledChanged();
    void fontChanged();
    void layOutLabel();
    void grabAccessKeys();
    QFont ambientFont() const;

    int m_state = 0;
    short m_restingFace = FaceStrip::Normal;
    int m_face = FaceStrip::Normal;
    QString m_caption;
    bool m_leftDown = false;
    int m_changeEvents = 0;
    QList<int> m_accessKeys;
    std::function<QPoint()> m_cursorPos;
};
