#include "ui/commands/AboutDialog.h"

#include "controls/button/Qorvikcmd.h"

#include <QDate>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>

namespace {

// The still picture: a sheet of ruled paper with a pencil, and the name.
QPixmap aboutPicture(const QSize &size)
{
    QPixmap pixmap(size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, size.width(), size.height());
    sky.setColorAt(0, QColor(32, 74, 135));
    sky.setColorAt(1, QColor(114, 159, 207));
    p.fillRect(pixmap.rect(), sky);

    const int h = size.height();
    const QRectF sheet(h * 0.12, h * 0.12, h * 0.62, h * 0.78);
    p.setPen(QColor(60, 60, 60));
    p.setBrush(QColor(255, 253, 240));
    p.drawRect(sheet);
    p.setPen(QColor(150, 180, 220));
    for (qreal y = sheet.top() + h * 0.14; y < sheet.bottom() - 2; y += h * 0.1)
        p.drawLine(QPointF(sheet.left() + 3, y), QPointF(sheet.right() - 3, y));
    p.setPen(QPen(QColor(220, 60, 50), 1));
    p.drawLine(QPointF(sheet.left() + h * 0.1, sheet.top()), QPointF(sheet.left() + h * 0.1, sheet.bottom()));
    p.setPen(QPen(QColor(240, 180, 40), h * 0.07, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(sheet.right() - h * 0.05, sheet.top() + h * 0.1),
               QPointF(sheet.left() + h * 0.25, sheet.bottom() - h * 0.12));

    QFont title = Qorvikcmd::DesignFont(QStringLiteral("Verdana"), 15);
    title.setBold(true);
    const QRectF titleBox(h * 0.85, 0, size.width() - h * 0.9, h * 0.62);
    // Shrink the title until it fits the picture on this screen's fonts.
    while (title.pointSizeF() > 6
           && QFontMetricsF(title).horizontalAdvance(QStringLiteral("Qorvik Note Pad")) > titleBox.width())
        title.setPointSizeF(title.pointSizeF() - 0.5);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(titleBox, Qt::AlignLeft | Qt::AlignBottom, QStringLiteral("Qorvik Note Pad"));
    p.setFont(Qorvikcmd::DesignFont(QStringLiteral("Verdana"), 7.5));
    p.setPen(QColor(230, 238, 250));
    p.drawText(QRectF(h * 0.86, h * 0.64, size.width() - h * 0.9, h * 0.3), Qt::AlignLeft | Qt::AlignTop,
               QStringLiteral("Le bloc-notes"));
    return pixmap;
}

QLabel *label(QWidget *parent, const QString &name, const QString &text, qreal points)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setFont(Qorvikcmd::DesignFont(QStringLiteral("Verdana"), points));
    l->setWordWrap(true);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

} // namespace

AboutDialog::AboutDialog(QWidget *parent)
    : Form(parent, QStringLiteral("About"), QStringLiteral(" A propos de Qorvik Note Pad 1.2"))
{
    setClientSize(4680, 3540);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(twips(360, 120, 3060, 1260));
    Image1->setPixmap(aboutPicture(Image1->size()));

    lblVersion = label(this, QStringLiteral("lblVersion"), QStringLiteral("Version : 1.2"), 6.75);
    lblVersion->setGeometry(twips(3600, 1200, 990, 180));

    lblCommentary = label(this, QStringLiteral("lblCommentary"),
                          QStringLiteral("Qorvik Note Pad est un bloc-notes simple et rapide pour "
                                         "les fichiers texte. Il ouvre et enregistre vos fichiers "
                                         "sans rien changer à leur codage ni à leurs fins de ligne, "
                                         "recherche et remplace, imprime, et retient vos "
                                         "préférences."),
                          8.25);
    lblCommentary->setGeometry(twips(120, 1680, 4470, 1095));

    lblAuthor = label(this, QStringLiteral("lblAuthor"),
                      QStringLiteral("Conçu et réalisé par Qorvik Corporation, © %1.")
                              .arg(QDate::currentDate().year()),
                      8.25);
    lblAuthor->setGeometry(twips(240, 3000, 2895, 495));

    cmdOk = loadButton(QStringLiteral("cmdOk"), QStringLiteral("&OK"),
                       Qorvikcmd::DesignFont(QStringLiteral("MS Sans Serif"), 8.25),
                       QRect(3480, 3120, 1095, 375));
    connect(cmdOk, &Qorvikcmd::Click, this, &AboutDialog::cmdOk_Click);
    cmdOk->setFocus();
}

void AboutDialog::cmdOk_Click()
{
    accept();
}

void AboutDialog::paintEvent(QPaintEvent *event)
{
    QDialog::paintEvent(event);
    QPainter p(this);
    // Shape1: the blue frame around the picture.
    p.setPen(QColor(0, 0, 255));
    p.setBrush(Qt::NoBrush);
    p.drawRect(twips(240, 60, 3255, 1395).adjusted(0, 0, -1, -1));
    // Line1: an engraved separator across the whole width.
    p.setPen(QColor(128, 128, 128));
    p.drawLine(px(-120), px(2820), px(5040), px(2820));
    p.setPen(Qt::white);
    p.drawLine(px(-120), px(2835), px(5040), px(2835));
}
