#include "controls/button/Qorvikcmd.h"

#include "controls/button/PropertyBag.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QShortcutEvent>
#include <QTimer>

namespace {

const QColor DisabledCaption(161, 161, 146);

short shiftState(Qt::KeyboardModifiers modifiers)
{
    return short((modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0)
                 | (modifiers & Qt::AltModifier ? 4 : 0));
}

short buttonState(Qt::MouseButtons buttons)
{
    return short((buttons & Qt::LeftButton ? 1 : 0) | (buttons & Qt::RightButton ? 2 : 0)
                 | (buttons & Qt::MiddleButton ? 4 : 0));
}

// Windows virtual-key codes, which handlers of the key events expect.
short keyCode(int key)
{
    switch (key) {
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab: case Qt::Key_Backtab: return 9;
    case Qt::Key_Return: case Qt::Key_Enter: return 13;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: return 18;
    case Qt::Key_Escape: return 27;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    default: break;
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return short(112 + key - Qt::Key_F1);
    if (key == Qt::Key_Space || (key >= Qt::Key_0 && key <= Qt::Key_9)
        || (key >= Qt::Key_A && key <= Qt::Key_Z))
        return short(key);
    return 0;
}

// The caption as the label shows it: "&&" is an ampersand, the letter after
// the first single "&" is underlined, and spaces are kept as typed.
QString captionMarkup(const QString &caption)
{
    QString html;
    bool underlined = false;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        QString ch = caption.at(i);
        if (ch == QLatin1String("&") && i + 1 < caption.size()) {
            ch = caption.at(++i);
            if (ch != QLatin1String("&") && !underlined) {
                underlined = true;
                html += QStringLiteral("<u>") + ch.toHtmlEscaped() + QStringLiteral("</u>");
                continue;
            }
        }
        html += ch == QLatin1String(" ") ? QStringLiteral("&nbsp;") : ch.toHtmlEscaped();
    }
    return html;
}

} // namespace

Qorvikcmd::Qorvikcmd(QWidget *parent)
    : QWidget(parent)
    , m_cursorPos([] { return QCursor::pos(); })
{
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);

    lbl = new QLabel(this);
    lbl->setTextFormat(Qt::RichText);
    lbl->setTextInteractionFlags(Qt::NoTextInteraction);
    // Clicks and moves over the caption are the button's own, in its coordinates.
    lbl->setAttribute(Qt::WA_TransparentForMouseEvents);
    lbl->setFont(DesignFont(QStringLiteral("Verdana"), 8.25));
    lbl->setText(QStringLiteral("QvCmd"));
    lbl->adjustSize();

    Timer1 = new QTimer(this);
    Timer1->setInterval(10);
    connect(Timer1, &QTimer::timeout, this, &Qorvikcmd::Timer1_Timer);

    RefreshFace();
}

Qorvikcmd *Qorvikcmd::Load(QWidget *parent, const QString &name, const PropertyBag &stored)
{
    auto *button = new Qorvikcmd(parent);
    button->setObjectName(name);
    const QVariant extentX = stored.ReadProperty(QStringLiteral("_extentx"));
    const QVariant extentY = stored.ReadProperty(QStringLiteral("_extenty"));
    if (extentX.isValid() && extentY.isValid()) {
        button->resize(qRound(extentX.toDouble() * button->logicalDpiX() / 2540.0),
                       qRound(extentY.toDouble() * button->logicalDpiY() / 2540.0));
    }
    button->ReadProperties(stored);
    return button;
}

int Qorvikcmd::HimetricFromTwips(int twips)
{
    return qRound(twips * 2540.0 / 1440.0);
}

QFont Qorvikcmd::DesignFont(const QString &family, qreal pointSize)
{
    QFont font;
    // Where the family is missing, a face of Arial's metrics keeps the
    // captions inside the boxes the forms were laid out for.
    font.setFamilies({family, QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    font.setPointSizeF(pointSize);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

void Qorvikcmd::setState(int state)
{
    m_state = state;
    emit PropertyChanged(QStringLiteral("State"));
    RefreshFace();
}

void Qorvikcmd::setCaption(const QString &caption)
{
    m_caption = caption;
    lbl->setText(captionMarkup(caption));
    grabAccessKeys();
    layOutLabel();
    emit PropertyChanged(QStringLiteral("Caption"));
}

void Qorvikcmd::InitProperties()
{
    writeEnabled(true);
    setCaption(objectName());
    writeFont(ambientFont());
}

void Qorvikcmd::ReadProperties(const PropertyBag &bag)
{
    m_state = bag.ReadProperty(QStringLiteral("State"), 0).toInt();
    writeEnabled(bag.ReadProperty(QStringLiteral("Enabled"), true).toBool());
    setCaption(bag.ReadProperty(QStringLiteral("Caption"), objectName()).toString());
    writeFont(bag.ReadProperty(QStringLiteral("Font"), ambientFont()).value<QFont>());
}

void Qorvikcmd::WriteProperties(PropertyBag &bag) const
{
    bag.WriteProperty(QStringLiteral("State"), m_state, 0);
    bag.WriteProperty(QStringLiteral("Enabled"), isEnabled(), true);
    bag.WriteProperty(QStringLiteral("Caption"), m_caption, objectName());
    bag.WriteProperty(QStringLiteral("Font"), font(), ambientFont());
}

void Qorvikcmd::RefreshFace()
{
    if (m_state == 1)
        m_restingFace = FaceStrip::Focused;
    else if (m_state == 0)
        m_restingFace = FaceStrip::Normal;
    PaintFace(isEnabled() ? int(m_restingFace) : int(FaceStrip::Disabled));
}

void Qorvikcmd::PaintFace(int face)
{
    m_face = face;
    update();
}

void Qorvikcmd::setCursorSource(std::function<QPoint()> source)
{
    m_cursorPos = std::move(source);
}

void Qorvikcmd::Timer1_Timer()
{
    const QPoint p = mapFromGlobal(m_cursorPos());
    // The right and bottom edges count as inside.
    if (p.x() < 0 || p.y() < 0 || p.x() > width() || p.y() > height()) {
        Timer1->stop();
        emit MouseOut();
        RefreshFace();
    }
}

bool Qorvikcmd::event(QEvent *e)
{
    if (e->type() == QEvent::Shortcut) {
        // Two buttons sharing a letter: the key only moves the focus, as
        // Qt's own buttons do.
        if (static_cast<QShortcutEvent *>(e)->isAmbiguous())
            setFocus(Qt::ShortcutFocusReason);
        else
            emit Click();
        return true;
    }
    return QWidget::event(e);
}

void Qorvikcmd::changeEvent(QEvent *e)
{
    if (e->type() == QEvent::EnabledChange) {
        ++m_changeEvents;
        enabledChanged();
    } else if (e->type() == QEvent::FontChange) {
        ++m_changeEvents;
        fontChanged();
    }
    QWidget::changeEvent(e);
}

void Qorvikcmd::paintEvent(QPaintEvent *)
{
    const int w = width();
    const int h = height();
    const int b = FaceStrip::Border;
    struct Piece { FaceStrip::Slice slice; QRect target; };
    // Corners at their own size, edges stretched along their length only.
    const Piece pieces[] = {
        {FaceStrip::TopLeft, {0, 0, b, b}},
        {FaceStrip::TopRight, {w - b, 0, b, b}},
        {FaceStrip::BottomRight, {w - b, h - b, b, b}},
        {FaceStrip::BottomLeft, {0, h - b, b, b}},
        {FaceStrip::Top, {b, 0, w - 2 * b, b}},
        {FaceStrip::Right, {w - b, b, b, h - 2 * b}},
        {FaceStrip::Left, {0, b, b, h - 2 * b}},
        {FaceStrip::Bottom, {b, h - b, w - 2 * b, b}},
        {FaceStrip::Centre, {b, b, w - 2 * b, h - 2 * b}},
    };
    QPainter painter(this);
    for (const Piece &piece : pieces) {
        // Below 6 pixels the stretched slices have no room left.
        if (piece.target.width() > 0 && piece.target.height() > 0)
            painter.drawImage(piece.target, pc.slice(m_face, piece.slice));
    }
}

void Qorvikcmd::resizeEvent(QResizeEvent *)
{
    layOutLabel();
}

void Qorvikcmd::showEvent(QShowEvent *)
{
    RefreshFace();
}

void Qorvikcmd::focusInEvent(QFocusEvent *e)
{
    PaintFace(FaceStrip::Focused);
    QWidget::focusInEvent(e);
}

void Qorvikcmd::focusOutEvent(QFocusEvent *e)
{
    PaintFace(FaceStrip::Normal);
    QWidget::focusOutEvent(e);
}

void Qorvikcmd::keyPressEvent(QKeyEvent *e)
{
    short code = keyCode(e->key());
    short shift = shiftState(e->modifiers());
    emit KeyDown(code, shift);
    if (!e->text().isEmpty()) {
        short character = short(e->text().at(0).unicode());
        emit KeyPress(character);
    }
    QWidget::keyPressEvent(e);
}

void Qorvikcmd::keyReleaseEvent(QKeyEvent *e)
{
    if (!e->isAutoRepeat()) {
        short code = keyCode(e->key());
        short shift = shiftState(e->modifiers());
        emit KeyUp(code, shift);
    }
    QWidget::keyReleaseEvent(e);
}

void Qorvikcmd::mousePressEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton)
        m_leftDown = true;
    short button = buttonState(e->button());
    short shift = shiftState(e->modifiers());
    float x = float(e->position().x());
    float y = float(e->position().y());
    emit MouseDown(button, shift, x, y);
    PaintFace(FaceStrip::Pressed);
}

void Qorvikcmd::mouseMoveEvent(QMouseEvent *e)
{
    if (!Timer1->isActive())
        Timer1->start();
    float x = float(e->position().x());
    float y = float(e->position().y());
    // Moves outside arrive only while a held button keeps the mouse here.
    if (x < 0 || y < 0 || x > width() || y > height())
        return;
    short button = buttonState(e->buttons());
    short shift = shiftState(e->modifiers());
    emit MouseMove(button, shift, x, y);
    PaintFace(button == 1 ? FaceStrip::Pressed : FaceStrip::Hover);
}

void Qorvikcmd::mouseReleaseEvent(QMouseEvent *e)
{
    short button = buttonState(e->button());
    short shift = shiftState(e->modifiers());
    float x = float(e->position().x());
    float y = float(e->position().y());
    emit MouseUp(button, shift, x, y);
    RefreshFace();

    if (e->button() != Qt::LeftButton || !m_leftDown)
        return;
    m_leftDown = false;
    if (!rect().contains(e->position().toPoint()))
        return;
    // A Click handler may close the dialog that owns this button.
    QPointer<Qorvikcmd> self(this);
    emit Click();
    if (self)
        PaintFace(FaceStrip::Focused);
}

void Qorvikcmd::writeEnabled(bool enabled)
{
    const int before = m_changeEvents;
    setEnabled(enabled);
    if (m_changeEvents == before)
        enabledChanged();
}

void Qorvikcmd::writeFont(const QFont &font)
{
    const int before = m_changeEvents;
    setFont(font);
    if (m_changeEvents == before)
        fontChanged();
}

void Qorvikcmd::enabledChanged()
{
    emit PropertyChanged(QStringLiteral("Enabled"));
    RefreshFace();
    QPalette palette = lbl->palette();
    const QColor colour = isEnabled() ? QColor(Qt::black) : DisabledCaption;
    // A disabled label draws from the disabled group, and rich text from Text.
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::Text, colour);
    lbl->setPalette(palette);
}

void Qorvikcmd::fontChanged()
{
    lbl->setFont(font());
    layOutLabel();
    emit PropertyChanged(QStringLiteral("Font"));
}

void Qorvikcmd::layOutLabel()
{
    lbl->adjustSize();
    RefreshFace();
    // Halves are rounded rather than dropped, so an odd margin splits evenly.
    const qreal top = (height() - lbl->height()) / 2.0;
    const qreal left = (width() - lbl->width()) / 2.0;
    lbl->move(qRound(left), qRound(top));
}

void Qorvikcmd::grabAccessKeys()
{
    for (int id : std::as_const(m_accessKeys))
        releaseShortcut(id);
    m_accessKeys.clear();
    const QKeySequence withAlt = QKeySequence::mnemonic(m_caption);
    if (withAlt.isEmpty())
        return;
    m_accessKeys.append(grabShortcut(withAlt));
    // The letter alone reaches the shortcut only when the focused widget does
    // not claim it as typed text.
    m_accessKeys.append(grabShortcut(QKeySequence(withAlt[0].key())));
}

QFont Qorvikcmd::ambientFont() const
{
    return parentWidget() ? parentWidget()->font() : QApplication::font();
}
