#include "controls/button/PropertyBag.h"
#include "controls/button/Qorvikcmd.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTextDocumentFragment>
#include <QTimer>

namespace {

// The search dialog's button: 1455 x 375 twips.
PropertyBag searchButton(const QString &caption)
{
    return {{QStringLiteral("_extentx"), Qorvikcmd::HimetricFromTwips(1455)},
            {QStringLiteral("_extenty"), Qorvikcmd::HimetricFromTwips(375)},
            {QStringLiteral("caption"), caption},
            {QStringLiteral("font"), Qorvikcmd::DesignFont(QStringLiteral("Verdana"), 8.25)}};
}

// A colour for every pixel of a test strip that tells the face, the slice
// and the offset across the slice's unstretched directions.
QRgb sliceColour(int face, int slice, int dx, int dy)
{
    return qRgb(20 * slice + 10, 40 * face + 10, 60 * dx + 15 * dy + 5);
}

// Which slice a pixel falls in along one direction, and its offset there
// (-1 when the direction is stretched).
std::pair<int, int> band(int pos, int size)
{
    if (pos < 3)
        return {0, pos};
    if (pos >= size - 3)
        return {2, pos - (size - 3)};
    return {1, -1};
}

QRgb expectedPixel(int face, int x, int y, int w, int h)
{
    const auto [col, dx] = band(x, w);
    const auto [row, dy] = band(y, h);
    return sliceColour(face, row * 3 + col, qMax(dx, 0), qMax(dy, 0));
}

QImage testStrip()
{
    QImage strip(90, 21, QImage::Format_RGB32);
    for (int x = 0; x < 90; ++x)
        for (int y = 0; y < 21; ++y)
            strip.setPixel(x, y, expectedPixel(x / 18, x % 18, y, 18, 21));
    return strip;
}

void sendMouse(QWidget *w, QEvent::Type type, QPointF pos, Qt::MouseButton button,
               Qt::MouseButtons buttons)
{
    QMouseEvent e(type, pos, w->mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

void moveTo(QWidget *w, QPointF pos, Qt::MouseButtons buttons = Qt::NoButton)
{
    sendMouse(w, QEvent::MouseMove, pos, Qt::NoButton, buttons);
}

// What a handler of the mouse or key events was given.
struct EventLog
{
    QList<QList<float>> calls;

    using MouseSignal = void (Qorvikcmd::*)(short &, short &, float &, float &);
    using KeySignal = void (Qorvikcmd::*)(short &, short &);
    EventLog(Qorvikcmd *button, MouseSignal signal)
    {
        QObject::connect(button, signal, button, [this](short &b, short &s, float &x, float &y) {
            calls.append({float(b), float(s), x, y});
        });
    }
    EventLog(Qorvikcmd *button, KeySignal signal)
    {
        QObject::connect(button, signal, button, [this](short &k, short &s) {
            calls.append({float(k), float(s)});
        });
    }
    explicit EventLog(Qorvikcmd *button)
    {
        QObject::connect(button, &Qorvikcmd::KeyPress, button, [this](short &c) {
            calls.append(QList<float>{float(c)});
        });
    }
    qsizetype count() const { return calls.size(); }
};

bool isCentred(const QWidget *child, const QWidget *parent)
{
    const QRect r = child->geometry();
    return qAbs(2 * r.x() + r.width() - parent->width()) <= 1
        && qAbs(2 * r.y() + r.height() - parent->height()) <= 1;
}

// The text colour a label shows: its darkest pixel, close enough to the
// colour asked for once anti-aliasing has had its say.
bool textColourIs(QLabel *label, QColor colour)
{
    const QImage image = label->grab().toImage();
    QColor darkest(Qt::white);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() + c.green() + c.blue() < darkest.red() + darkest.green() + darkest.blue())
                darkest = c;
        }
    }
    return qAbs(darkest.red() - colour.red()) <= 12 && qAbs(darkest.green() - colour.green()) <= 12
        && qAbs(darkest.blue() - colour.blue()) <= 12;
}

// A shown form holding the search dialog's first button.
struct SearchForm
{
    SearchForm()
    {
        button = Qorvikcmd::Load(&form, QStringLiteral("cmdNext"), searchButton(QStringLiteral("&Suivant")));
        button->move(30, 20);
        form.resize(200, 100);
        form.show();
    }
    QWidget form;
    Qorvikcmd *button = nullptr;
};

} // namespace

Q_DECLARE_METATYPE(PropertyBag)

class TestQorvikcmd : public QObject
{
    Q_OBJECT

private slots:
    void faceSlices_data();
    void faceSlices();
    void tinyButtons_data();
    void tinyButtons();
    void mouseMove_data();
    void mouseMove();
    void moveHandlerCanPress();
    void hoverTick_data();
    void hoverTick();
    void dragOffAndBack();
    void clicks_data();
    void clicks();
    void restingFace_data();
    void restingFace();
    void focus();
    void loadStoredData_data();
    void loadStoredData();
    void saveLeavesDefaultsOut();
    void captionCentred_data();
    void captionCentred();
    void keysNeverClick_data();
    void keysNeverClick();
    void accessKeys_data();
    void accessKeys();
};

void TestQorvikcmd::faceSlices_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("face");
    QTest::newRow("search dialog, normal") << QSize(97, 25) << 0;
    QTest::newRow("preferences OK, pressed") << QSize(89, 25) << 1;
    QTest::newRow("about OK, focused") << QSize(73, 25) << 4;
    QTest::newRow("tall, hover") << QSize(40, 60) << 3;
    QTest::newRow("frame only, disabled") << QSize(6, 6) << 2;
}

void TestQorvikcmd::faceSlices()
{
    QFETCH(QSize, size);
    QFETCH(int, face);
    QWidget form;
    auto *button = new Qorvikcmd(&form);
    button->pc.setPicture(testStrip());
    button->lbl->hide();
    button->resize(size);
    form.show();
    button->PaintFace(face);

    const QImage shown = button->grab().toImage();
    QCOMPARE(shown.size(), size);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            if (shown.pixel(x, y) != expectedPixel(face, x, y, size.width(), size.height()))
                QFAIL(qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
        }
    }
}

void TestQorvikcmd::tinyButtons_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("narrow") << QSize(5, 25);
    QTest::newRow("low") << QSize(97, 2);
    QTest::newRow("one pixel") << QSize(1, 1);
    QTest::newRow("empty") << QSize(0, 0);
}

void TestQorvikcmd::tinyButtons()
{
    QFETCH(QSize, size);
    Qorvikcmd button;
    button.resize(size);
    QCOMPARE(button.grab().toImage().size(), size);
}

void TestQorvikcmd::mouseMove_data()
{
    QTest::addColumn<QPointF>("pos");
    QTest::addColumn<Qt::MouseButtons>("buttons");
    QTest::addColumn<int>("face");
    QTest::addColumn<bool>("raised");
    const Qt::MouseButtons none = Qt::NoButton;
    QTest::newRow("inside, no button") << QPointF(10, 10) << none << 3 << true;
    QTest::newRow("inside, left") << QPointF(10, 10) << Qt::MouseButtons(Qt::LeftButton) << 1 << true;
    QTest::newRow("inside, left and right") << QPointF(10, 10) << (Qt::LeftButton | Qt::RightButton) << 3 << true;
    QTest::newRow("inside, right") << QPointF(10, 10) << Qt::MouseButtons(Qt::RightButton) << 3 << true;
    QTest::newRow("right edge") << QPointF(97, 10) << Qt::MouseButtons(Qt::LeftButton) << 1 << true;
    QTest::newRow("bottom right corner") << QPointF(97, 25) << none << 3 << true;
    QTest::newRow("past the right edge") << QPointF(97.5, 10) << none << -1 << false;
    QTest::newRow("above") << QPointF(10, -1) << Qt::MouseButtons(Qt::LeftButton) << -1 << false;
}

void TestQorvikcmd::mouseMove()
{
    QFETCH(QPointF, pos);
    QFETCH(Qt::MouseButtons, buttons);
    QFETCH(int, face);
    SearchForm f;
    Qorvikcmd *button = f.button;
    const int before = button->face();
    EventLog moves(button, &Qorvikcmd::MouseMove);
    moveTo(button, pos, buttons);
    QCOMPARE(button->face(), face < 0 ? before : face);
    QTEST(moves.count() == 1, "raised");
    QVERIFY(button->Timer1->isActive());
}

void TestQorvikcmd::moveHandlerCanPress()
{
    Qorvikcmd button;
    button.resize(97, 25);
    connect(&button, &Qorvikcmd::MouseMove, &button, [](short &b, short &, float &, float &) { b = 1; });
    moveTo(&button, QPointF(10, 10));
    QCOMPARE(button.face(), 1);
}

void TestQorvikcmd::hoverTick_data()
{
    QTest::addColumn<QPoint>("cursor");
    QTest::addColumn<bool>("left");
    QTest::newRow("inside") << QPoint(40, 12) << false;
    QTest::newRow("top left corner") << QPoint(0, 0) << false;
    QTest::newRow("bottom right edge") << QPoint(97, 25) << false;
    QTest::newRow("right of it") << QPoint(98, 10) << true;
    QTest::newRow("below") << QPoint(10, 26) << true;
    QTest::newRow("left of it") << QPoint(-1, 10) << true;
}

void TestQorvikcmd::hoverTick()
{
    QFETCH(QPoint, cursor);
    QFETCH(bool, left);
    SearchForm f;
    Qorvikcmd *button = f.button;
    button->setState(1);
    QSignalSpy outs(button, &Qorvikcmd::MouseOut);
    button->setCursorSource([&] { return button->mapToGlobal(cursor); });
    moveTo(button, QPointF(10, 10));
    button->Timer1_Timer();
    QCOMPARE(outs.count(), left ? 1 : 0);
    QCOMPARE(button->face(), left ? 4 : 3);
    QCOMPARE(button->Timer1->isActive(), !left);
}

void TestQorvikcmd::dragOffAndBack()
{
    SearchForm f;
    Qorvikcmd *button = f.button;
    QPoint cursor(10, 10);
    button->setCursorSource([&] { return button->mapToGlobal(cursor); });
    EventLog moves(button, &Qorvikcmd::MouseMove);
    QSignalSpy outs(button, &Qorvikcmd::MouseOut);
    QSignalSpy clicks(button, &Qorvikcmd::Click);

    sendMouse(button, QEvent::MouseButtonPress, cursor, Qt::LeftButton, Qt::LeftButton);
    QCOMPARE(button->face(), 1);

    cursor = QPoint(150, 10);
    moveTo(button, cursor, Qt::LeftButton);
    QCOMPARE(moves.count(), 0);
    QCOMPARE(button->face(), 1);
    button->Timer1_Timer();
    QCOMPARE(outs.count(), 1);
    QCOMPARE(button->face(), 0);
    QVERIFY(!button->Timer1->isActive());

    cursor = QPoint(10, 10);
    moveTo(button, cursor, Qt::LeftButton);
    QCOMPARE(moves.count(), 1);
    QCOMPARE(button->face(), 1);
    sendMouse(button, QEvent::MouseButtonRelease, cursor, Qt::LeftButton, Qt::NoButton);
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(button->face(), 4);

    cursor = QPoint(10, 40);
    button->Timer1_Timer();
    QCOMPARE(outs.count(), 2);
}

void TestQorvikcmd::clicks_data()
{
    QTest::addColumn<QPoint>("pos");
    QTest::addColumn<Qt::MouseButton>("mouseButton");
    QTest::addColumn<int>("buttonCode");
    QTest::addColumn<int>("clicks");
    QTest::addColumn<int>("face");
    QTest::newRow("left on the caption") << QPoint(48, 12) << Qt::LeftButton << 1 << 1 << 4;
    QTest::newRow("left on the frame") << QPoint(1, 1) << Qt::LeftButton << 1 << 1 << 4;
    QTest::newRow("right on the caption") << QPoint(48, 12) << Qt::RightButton << 2 << 0 << 0;
}

// Through the window, so that the press finds whatever lies under the point.
void TestQorvikcmd::clicks()
{
    QFETCH(QPoint, pos);
    QFETCH(Qt::MouseButton, mouseButton);
    QFETCH(int, buttonCode);
    SearchForm f;
    Qorvikcmd *button = f.button;
    button->setFocusPolicy(Qt::NoFocus);
    QVERIFY(QTest::qWaitForWindowExposed(&f.form));
    QVERIFY(button->lbl->geometry().contains(QPoint(48, 12)));
    QSignalSpy clicks(button, &Qorvikcmd::Click);
    EventLog downs(button, &Qorvikcmd::MouseDown);
    QTest::mouseClick(button, mouseButton, {}, pos);
    QTEST(int(clicks.count()), "clicks");
    QTEST(button->face(), "face");
    QCOMPARE(downs.count(), 1);
    QCOMPARE(downs.calls.at(0), QList<float>({float(buttonCode), 0, float(pos.x()), float(pos.y())}));
}

void TestQorvikcmd::restingFace_data()
{
    QTest::addColumn<QList<int>>("states");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("resting");
    QTest::newRow("fresh") << QList<int>{} << true << 0;
    QTest::newRow("state 1") << QList<int>{1} << true << 4;
    QTest::newRow("state 1 then 2") << QList<int>{1, 2} << true << 4;
    QTest::newRow("fresh, state 2") << QList<int>{2} << true << 0;
    QTest::newRow("state 1 then 0") << QList<int>{1, 0} << true << 0;
    QTest::newRow("disabled, state 1") << QList<int>{1} << false << 4;
    QTest::newRow("disabled, state 0") << QList<int>{0} << false << 0;
}

void TestQorvikcmd::restingFace()
{
    QFETCH(QList<int>, states);
    QFETCH(bool, enabled);
    QFETCH(int, resting);
    SearchForm f;
    Qorvikcmd *button = f.button;
    button->setCaption(QStringLiteral("lll"));
    button->setEnabled(enabled);
    for (int state : states)
        button->setState(state);
    QCOMPARE(button->face(), enabled ? resting : 2);
    QVERIFY(textColourIs(button->lbl, enabled ? QColor(Qt::black) : QColor(161, 161, 146)));

    button->setEnabled(true);
    QCOMPARE(button->face(), resting);
    QVERIFY(textColourIs(button->lbl, Qt::black));
}

void TestQorvikcmd::focus()
{
    SearchForm f;
    f.button->setState(1);
    f.button->PaintFace(0);
    QFocusEvent in(QEvent::FocusIn);
    QFocusEvent out(QEvent::FocusOut);
    QApplication::sendEvent(f.button, &in);
    QCOMPARE(f.button->face(), 4);
    QApplication::sendEvent(f.button, &out);
    QCOMPARE(f.button->face(), 0);
    f.button->resize(90, 25);
    QCOMPARE(f.button->face(), 4);
}

void TestQorvikcmd::loadStoredData_data()
{
    QTest::addColumn<PropertyBag>("stored");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("face");
    const QFont verdana = Qorvikcmd::DesignFont(QStringLiteral("Verdana"), 8.25);
    const QVariant x = Qorvikcmd::HimetricFromTwips(1455);
    const QVariant y = Qorvikcmd::HimetricFromTwips(375);
    QTest::newRow("lower-case keys") << searchButton(QStringLiteral("&Suivant")) << "&Suivant" << 0;
    QTest::newRow("mixed-case keys")
        << PropertyBag{{"_ExtentX", x}, {"_EXTENTY", y}, {"Caption", "&Annuler"}, {"FONT", verdana}}
        << "&Annuler" << 0;
    QTest::newRow("no caption: the name")
        << PropertyBag{{"_extentx", x}, {"_extenty", y}, {"font", verdana}} << "cmdNext" << 0;
    QTest::newRow("state 1")
        << PropertyBag{{"_extentx", x}, {"_extenty", y}, {"caption", "&OK"}, {"font", verdana}, {"state", 1}}
        << "&OK" << 4;
    QTest::newRow("disabled")
        << PropertyBag{{"_extentx", x}, {"_extenty", y}, {"font", verdana}, {"Enabled", false}}
        << "cmdNext" << 2;
}

void TestQorvikcmd::loadStoredData()
{
    QFETCH(PropertyBag, stored);
    QWidget form;
    form.setFont(QFont(QStringLiteral("DejaVu Serif"), 12));
    Qorvikcmd *button = Qorvikcmd::Load(&form, QStringLiteral("cmdNext"), stored);
    QCOMPARE(button->size(), QSize(97, 25));
    QTEST(button->Caption(), "caption");
    QTEST(button->face(), "face");
    QCOMPARE(button->Font().family(), QStringLiteral("Verdana"));
    QCOMPARE(button->Font().pointSizeF(), 8.25);
    QCOMPARE(button->lbl->font(), button->Font());
}

void TestQorvikcmd::saveLeavesDefaultsOut()
{
    QWidget form;
    form.setFont(QFont(QStringLiteral("DejaVu Serif"), 12));
    auto *fresh = new Qorvikcmd(&form);
    fresh->setObjectName(QStringLiteral("cmdOk"));
    fresh->InitProperties();
    QCOMPARE(fresh->Caption(), QStringLiteral("cmdOk"));
    PropertyBag saved;
    fresh->WriteProperties(saved);
    QVERIFY2(saved.isEmpty(), qPrintable(saved.keys().join(u',')));

    Qorvikcmd *loaded = Qorvikcmd::Load(&form, QStringLiteral("cmdNext"), searchButton(QStringLiteral("&Suivant")));
    saved = PropertyBag();
    loaded->WriteProperties(saved);
    QCOMPARE(saved.keys(), QStringList({"Caption", "Font"}));

    loaded->setState(1);
    loaded->setEnabled(false);
    loaded->WriteProperties(saved);
    QCOMPARE(saved.keys(), QStringList({"Caption", "Font", "State", "Enabled"}));
    Qorvikcmd *again = Qorvikcmd::Load(&form, QStringLiteral("cmdNext"), saved);
    QCOMPARE(again->State(), 1);
    QCOMPARE(again->Enabled(), false);
    QCOMPARE(again->Caption(), loaded->Caption());
    QCOMPARE(again->Font(), loaded->Font());
}

void TestQorvikcmd::captionCentred_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("shown");
    QTest::newRow("empty") << "" << "";
    QTest::newRow("short") << "&OK" << "OK";
    QTest::newRow("long") << "Remplacer &tout" << "Remplacer tout";
    QTest::newRow("doubled ampersand") << "Q && &R" << "Q & R";
}

void TestQorvikcmd::captionCentred()
{
    QFETCH(QString, caption);
    SearchForm f;
    Qorvikcmd *button = f.button;
    const int before = button->lbl->width();
    button->setCaption(caption);
    QTEST(QTextDocumentFragment::fromHtml(button->lbl->text()).toPlainText().replace(QChar::Nbsp, u' '), "shown");
    QVERIFY(isCentred(button->lbl, button));
    QCOMPARE(button->lbl->width() > before, caption.size() > 9);

    button->setFont(Qorvikcmd::DesignFont(QStringLiteral("Verdana"), 14));
    QCOMPARE(button->lbl->font().pointSizeF(), 14.0);
    QVERIFY(isCentred(button->lbl, button));
    button->resize(150, 40);
    QVERIFY(isCentred(button->lbl, button));
}

void TestQorvikcmd::keysNeverClick_data()
{
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<int>("code");
    QTest::newRow("space") << Qt::Key_Space << 32;
    QTest::newRow("return") << Qt::Key_Return << 13;
    QTest::newRow("keypad enter") << Qt::Key_Enter << 13;
}

void TestQorvikcmd::keysNeverClick()
{
    QFETCH(Qt::Key, key);
    QFETCH(int, code);
    SearchForm f;
    Qorvikcmd *button = f.button;
    QApplication::setActiveWindow(&f.form);
    QVERIFY(QTest::qWaitForWindowActive(&f.form));
    button->setFocus();
    EventLog downs(button, &Qorvikcmd::KeyDown);
    EventLog presses(button);
    EventLog ups(button, &Qorvikcmd::KeyUp);
    QSignalSpy clicks(button, &Qorvikcmd::Click);
    QTest::keyClick(button, key);
    QCOMPARE(downs.calls, QList<QList<float>>({{float(code), 0}}));
    QCOMPARE(presses.calls, QList<QList<float>>({{float(code)}}));
    QCOMPARE(ups.calls, QList<QList<float>>({{float(code), 0}}));
    QCOMPARE(clicks.count(), 0);
    QCOMPARE(button->face(), 4);
}

void TestQorvikcmd::accessKeys_data()
{
    QTest::addColumn<QString>("focused");
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("clicks");
    const Qt::KeyboardModifiers alt = Qt::AltModifier;
    const Qt::KeyboardModifiers none = Qt::NoModifier;
    QTest::newRow("Alt+S, check box focused") << "check" << Qt::Key_S << alt << true << 1;
    QTest::newRow("S, check box focused") << "check" << Qt::Key_S << none << true << 1;
    QTest::newRow("Alt+S, text box focused") << "text" << Qt::Key_S << alt << true << 1;
    QTest::newRow("S, text box focused") << "text" << Qt::Key_S << none << true << 0;
    QTest::newRow("other letter") << "check" << Qt::Key_U << alt << true << 0;
    QTest::newRow("disabled") << "check" << Qt::Key_S << alt << false << 0;
}

void TestQorvikcmd::accessKeys()
{
    QFETCH(QString, focused);
    QFETCH(Qt::Key, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(bool, enabled);
    QWidget form;
    auto *text = new QLineEdit(&form);
    auto *check = new QCheckBox(QStringLiteral("Mot entier"), &form);
    check->move(0, 30);
    Qorvikcmd *button = Qorvikcmd::Load(&form, QStringLiteral("cmdNext"), searchButton(QStringLiteral("&Suivant")));
    button->move(0, 60);
    button->setEnabled(enabled);
    form.show();
    QApplication::setActiveWindow(&form);
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QWidget *target = focused == QLatin1String("text") ? static_cast<QWidget *>(text) : check;
    target->setFocus();
    button->PaintFace(3);
    QSignalSpy clicks(button, &Qorvikcmd::Click);
    QTest::keyClick(target, key, modifiers);
    QTEST(int(clicks.count()), "clicks");
    QCOMPARE(button->face(), 3);
    QCOMPARE(text->text().isEmpty(), focused != QLatin1String("text") || modifiers != Qt::NoModifier);
}

QTEST_MAIN(TestQorvikcmd)
#include "tst_qorvikcmd.moc"
