#include "controls/button/PropertyBag.h"
#include "controls/button/Qorvikcmd.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTextDocumentFragment>
#include <QTimer>

namespace {

using Log = QList<QList<float>>;

// Records the arguments of every raising of one of the button's events.
template <typename... Args>
void record(Qorvikcmd *button, void (Qorvikcmd::*event)(Args &...), Log &log)
{
    QObject::connect(button, event, button,
                     [&log](Args &...args) { log.append(QList<float>{float(args)...}); });
}

// The search dialog's button: 1455 x 375 twips.
PropertyBag searchButton(const QString &caption)
{
    return {{QStringLiteral("_extentx"), Qorvikcmd::HimetricFromTwips(1455)},
            {QStringLiteral("_extenty"), Qorvikcmd::HimetricFromTwips(375)},
            {QStringLiteral("caption"), caption},
            {QStringLiteral("font"), Qorvikcmd::DesignFont(QStringLiteral("Verdana"), 8.25)}};
}

// Every pixel names its face, its slice and its offset across the slice's
// unstretched directions, so a misplaced or wrongly scaled pixel shows.
QRgb slicePixel(int face, int x, int y, int w, int h)
{
    auto band = [](int pos, int size) {
        return pos < 3 ? std::pair(0, pos) : pos >= size - 3 ? std::pair(2, pos - size + 3) : std::pair(1, 0);
    };
    const auto [col, dx] = band(x, w);
    const auto [row, dy] = band(y, h);
    return qRgb(20 * (row * 3 + col) + 10, 40 * face + 10, 60 * dx + 15 * dy + 5);
}

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

void sendMouse(QWidget *w, QEvent::Type type, QPointF pos, Qt::MouseButton button, Qt::MouseButtons held)
{
    QMouseEvent e(type, pos, w->mapToGlobal(pos), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

bool isCentred(const QWidget *child, const QWidget *parent)
{
    const QRect r = child->geometry();
    return qAbs(2 * r.x() + r.width() - parent->width()) <= 1
        && qAbs(2 * r.y() + r.height() - parent->height()) <= 1;
}

// The darkest pixel of the caption, near the text colour once anti-aliasing
// has had its say.
bool textColourIs(QLabel *label, QColor colour)
{
    const QImage image = label->grab().toImage();
    QColor darkest(Qt::white);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y).value() < darkest.value())
                darkest = image.pixelColor(x, y);
    return qAbs(darkest.red() - colour.red()) <= 12 && qAbs(darkest.green() - colour.green()) <= 12
        && qAbs(darkest.blue() - colour.blue()) <= 12;
}

} // namespace

class TestQorvikcmd : public QObject
{
    Q_OBJECT

private slots:
    void faceSlices_data();
    void faceSlices();
    void mouseMove_data();
    void mouseMove();
    void hoverTick_data();
    void hoverTick();
    void dragOffAndBack();
    void clickOnCaption();
    void restingFace_data();
    void restingFace();
    void storedData();
    void captionCentred_data();
    void captionCentred();
    void keys_data();
    void keys();
};

void TestQorvikcmd::faceSlices_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("face");
    QTest::newRow("search dialog, normal") << QSize(97, 25) << 0;
    QTest::newRow("about OK, focused") << QSize(73, 25) << 4;
    QTest::newRow("tall, hover") << QSize(40, 60) << 3;
    QTest::newRow("frame only, disabled") << QSize(6, 6) << 2;
    QTest::newRow("narrow") << QSize(5, 25) << 1;
    QTest::newRow("low") << QSize(97, 2) << 1;
    QTest::newRow("one pixel") << QSize(1, 1) << 1;
}

void TestQorvikcmd::faceSlices()
{
    QFETCH(QSize, size);
    QFETCH(int, face);
    QImage strip(90, 21, QImage::Format_RGB32);
    for (int x = 0; x < 90; ++x)
        for (int y = 0; y < 21; ++y)
            strip.setPixel(x, y, slicePixel(x / 18, x % 18, y, 18, 21));
    QWidget form;
    auto *button = new Qorvikcmd(&form);
    button->pc.setPicture(strip);
    button->lbl->hide();
    button->resize(size);
    form.show();
    button->PaintFace(face);

    const QImage shown = button->grab().toImage();
    QCOMPARE(shown.size(), size);
    if (size.width() < 6 || size.height() < 6)
        return; // drawn without crashing is all we ask there
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            if (shown.pixel(x, y) != slicePixel(face, x, y, size.width(), size.height()))
                QFAIL(qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
}

void TestQorvikcmd::mouseMove_data()
{
    QTest::addColumn<QPointF>("pos");
    QTest::addColumn<Qt::MouseButtons>("held");
    QTest::addColumn<bool>("handlerPresses");
    QTest::addColumn<int>("face"); // -1: unchanged, and no MouseMove
    const Qt::MouseButtons none = Qt::NoButton;
    const Qt::MouseButtons left = Qt::LeftButton;
    QTest::newRow("no button") << QPointF(10, 10) << none << false << 3;
    QTest::newRow("left") << QPointF(10, 10) << left << false << 1;
    QTest::newRow("left and right") << QPointF(10, 10) << (left | Qt::RightButton) << false << 3;
    QTest::newRow("right edge") << QPointF(97, 10) << left << false << 1;
    QTest::newRow("bottom right corner") << QPointF(97, 25) << none << false << 3;
    QTest::newRow("past the right edge") << QPointF(97.5, 10) << none << false << -1;
    QTest::newRow("above, left held") << QPointF(10, -1) << left << false << -1;
    QTest::newRow("handler sets left") << QPointF(10, 10) << none << true << 1;
}

void TestQorvikcmd::mouseMove()
{
    QFETCH(QPointF, pos);
    QFETCH(Qt::MouseButtons, held);
    QFETCH(bool, handlerPresses);
    QFETCH(int, face);
    SearchForm f;
    const int before = f.button->face();
    Log moves;
    record(f.button, &Qorvikcmd::MouseMove, moves);
    if (handlerPresses)
        connect(f.button, &Qorvikcmd::MouseMove, f.button, [](short &b, short &, float &, float &) { b = 1; });
    sendMouse(f.button, QEvent::MouseMove, pos, Qt::NoButton, held);
    QCOMPARE(f.button->face(), face < 0 ? before : face);
    QCOMPARE(moves.size(), face < 0 ? 0 : 1);
    QVERIFY(f.button->Timer1->isActive());
}

void TestQorvikcmd::hoverTick_data()
{
    QTest::addColumn<QPoint>("cursor");
    QTest::addColumn<bool>("left");
    QTest::newRow("inside") << QPoint(40, 12) << false;
    QTest::newRow("bottom right edge") << QPoint(97, 25) << false;
    QTest::newRow("right of it") << QPoint(98, 10) << true;
    QTest::newRow("left of it") << QPoint(-1, 10) << true;
}

void TestQorvikcmd::hoverTick()
{
    QFETCH(QPoint, cursor);
    QFETCH(bool, left);
    SearchForm f;
    f.button->setState(1);
    Log outs;
    record(f.button, &Qorvikcmd::MouseOut, outs);
    f.button->setCursorSource([&] { return f.button->mapToGlobal(cursor); });
    sendMouse(f.button, QEvent::MouseMove, QPointF(10, 10), Qt::NoButton, Qt::NoButton);
    f.button->Timer1_Timer();
    QCOMPARE(outs.size(), left ? 1 : 0);
    QCOMPARE(f.button->face(), left ? 4 : 3);
    QCOMPARE(f.button->Timer1->isActive(), !left);
}

void TestQorvikcmd::dragOffAndBack()
{
    SearchForm f;
    Qorvikcmd *button = f.button;
    QPoint cursor(10, 10);
    button->setCursorSource([&] { return button->mapToGlobal(cursor); });
    Log moves, outs, clicks;
    record(button, &Qorvikcmd::MouseMove, moves);
    record(button, &Qorvikcmd::MouseOut, outs);
    record(button, &Qorvikcmd::Click, clicks);

    sendMouse(button, QEvent::MouseButtonPress, cursor, Qt::LeftButton, Qt::LeftButton);
    QCOMPARE(button->face(), 1);
    cursor = QPoint(150, 10);
    sendMouse(button, QEvent::MouseMove, cursor, Qt::NoButton, Qt::LeftButton);
    QCOMPARE(moves.size(), 0);
    QCOMPARE(button->face(), 1);
    button->Timer1_Timer();
    QCOMPARE(outs.size(), 1);
    QCOMPARE(button->face(), 0);
    QVERIFY(!button->Timer1->isActive());

    cursor = QPoint(10, 10);
    sendMouse(button, QEvent::MouseMove, cursor, Qt::NoButton, Qt::LeftButton);
    QCOMPARE(moves.size(), 1);
    QCOMPARE(button->face(), 1);
    sendMouse(button, QEvent::MouseButtonRelease, cursor, Qt::LeftButton, Qt::NoButton);
    QCOMPARE(clicks.size(), 1);
    QCOMPARE(button->face(), 4);
}

// Through the window, so that the press lands on the caption first.
void TestQorvikcmd::clickOnCaption()
{
    SearchForm f;
    QVERIFY(QTest::qWaitForWindowExposed(&f.form));
    const QPoint pos(48, 12);
    QVERIFY(f.button->lbl->geometry().contains(pos));
    Log clicks, downs;
    record(f.button, &Qorvikcmd::Click, clicks);
    record(f.button, &Qorvikcmd::MouseDown, downs);
    QTest::mouseClick(f.button, Qt::LeftButton, {}, pos);
    QCOMPARE(clicks.size(), 1);
    QCOMPARE(downs, Log({{1, 0, 48, 12}}));
    QCOMPARE(f.button->face(), 4);
}

void TestQorvikcmd::restingFace_data()
{
    QTest::addColumn<QList<int>>("states");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("resting");
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
    f.button->setCaption(QStringLiteral("lll"));
    f.button->setEnabled(enabled);
    for (int state : states)
        f.button->setState(state);
    QCOMPARE(f.button->face(), enabled ? resting : 2);
    QVERIFY(textColourIs(f.button->lbl, enabled ? QColor(Qt::black) : QColor(161, 161, 146)));

    f.button->setEnabled(true);
    QCOMPARE(f.button->face(), resting);
    QVERIFY(textColourIs(f.button->lbl, Qt::black));
}

void TestQorvikcmd::storedData()
{
    QWidget form;
    form.setFont(QFont(QStringLiteral("DejaVu Serif"), 12));
    Qorvikcmd *loaded = Qorvikcmd::Load(&form, QStringLiteral("cmdNext"), searchButton(QStringLiteral("&Suivant")));
    QCOMPARE(loaded->size(), QSize(97, 25));
    QCOMPARE(loaded->Caption(), QStringLiteral("&Suivant"));
    QCOMPARE(loaded->Font().family(), QStringLiteral("Verdana"));
    QCOMPARE(loaded->lbl->font(), loaded->Font());

    auto *fresh = new Qorvikcmd(&form);
    fresh->setObjectName(QStringLiteral("cmdOk"));
    fresh->InitProperties();
    PropertyBag saved;
    fresh->WriteProperties(saved);
    QCOMPARE(saved.keys(), QStringList());
    loaded->WriteProperties(saved);
    QCOMPARE(saved.keys(), QStringList({"Caption", "Font"}));

    loaded->setState(1);
    loaded->setEnabled(false);
    loaded->WriteProperties(saved);
    Qorvikcmd *again = Qorvikcmd::Load(&form, QStringLiteral("cmdNext"), saved);
    QCOMPARE(again->State(), 1);
    QCOMPARE(again->Enabled(), false);
    QCOMPARE(again->Caption(), QStringLiteral("&Suivant"));
}

void TestQorvikcmd::captionCentred_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("shown");
    QTest::newRow("empty") << "" << "";
    QTest::newRow("long") << "Remplacer &tout" << "Remplacer tout";
    QTest::newRow("doubled ampersand") << "Q && &R" << "Q & R";
}

void TestQorvikcmd::captionCentred()
{
    QFETCH(QString, caption);
    SearchForm f;
    f.button->setCaption(caption);
    const QString shown = QTextDocumentFragment::fromHtml(f.button->lbl->text()).toPlainText();
    QTEST(QString(shown).replace(QChar::Nbsp, u' '), "shown");
    QVERIFY(isCentred(f.button->lbl, f.button));
    f.button->setFont(Qorvikcmd::DesignFont(QStringLiteral("Verdana"), 14));
    QCOMPARE(f.button->lbl->font().pointSizeF(), 14.0);
    QVERIFY(isCentred(f.button->lbl, f.button));
    f.button->resize(150, 40);
    QVERIFY(isCentred(f.button->lbl, f.button));
}

void TestQorvikcmd::keys_data()
{
    QTest::addColumn<QString>("focused");
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("clicks");
    const Qt::KeyboardModifiers alt = Qt::AltModifier;
    const Qt::KeyboardModifiers none = Qt::NoModifier;
    QTest::newRow("space on the button") << "button" << Qt::Key_Space << none << true << 0;
    QTest::newRow("return on the button") << "button" << Qt::Key_Return << none << true << 0;
    QTest::newRow("keypad enter on the button") << "button" << Qt::Key_Enter << none << true << 0;
    QTest::newRow("Alt+S, check box focused") << "check" << Qt::Key_S << alt << true << 1;
    QTest::newRow("S, check box focused") << "check" << Qt::Key_S << none << true << 1;
    QTest::newRow("Alt+S, text box focused") << "text" << Qt::Key_S << alt << true << 1;
    QTest::newRow("S, text box focused") << "text" << Qt::Key_S << none << true << 0;
    QTest::newRow("other letter") << "check" << Qt::Key_U << alt << true << 0;
    QTest::newRow("disabled") << "check" << Qt::Key_S << alt << false << 0;
}

void TestQorvikcmd::keys()
{
    QFETCH(QString, focused);
    QFETCH(Qt::Key, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(bool, enabled);
    SearchForm f;
    auto *text = new QLineEdit(&f.form);
    auto *check = new QCheckBox(QStringLiteral("Mot entier"), &f.form);
    check->move(0, 60);
    text->show();
    check->show();
    f.button->setEnabled(enabled);
    QApplication::setActiveWindow(&f.form);
    QVERIFY(QTest::qWaitForWindowActive(&f.form));
    QWidget *target = focused == QLatin1String("text") ? text
        : focused == QLatin1String("check") ? static_cast<QWidget *>(check) : f.button;
    target->setFocus();
    f.button->PaintFace(3);
    Log clicks, downs, presses, ups;
    record(f.button, &Qorvikcmd::Click, clicks);
    record(f.button, &Qorvikcmd::KeyDown, downs);
    record(f.button, &Qorvikcmd::KeyPress, presses);
    record(f.button, &Qorvikcmd::KeyUp, ups);
    QTest::keyClick(target, key, modifiers);
    QTEST(int(clicks.size()), "clicks");
    QCOMPARE(f.button->face(), 3); // an access key does not repaint
    if (target == f.button) {
        const float code = key == Qt::Key_Space ? 32 : 13;
        QCOMPARE(downs, Log({{code, 0}}));
        QCOMPARE(presses, Log({{code}}));
        QCOMPARE(ups, Log({{code, 0}}));
    }
    QCOMPARE(text->text().isEmpty(), target != text || modifiers != Qt::NoModifier);
}

QTEST_MAIN(TestQorvikcmd)
#include "tst_qorvikcmd.moc"
