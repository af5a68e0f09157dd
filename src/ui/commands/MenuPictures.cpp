#include "ui/commands/MenuPictures.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <functional>

namespace {

const QColor Magenta(255, 0, 255);

struct Picture
{
    const char *item;
    QSize size;
    QColor transparent;
    std::function<void(QPainter &)> draw;
};

void sheet(QPainter &p, const QRect &r)
{
    p.setPen(QColor(60, 60, 60));
    p.setBrush(Qt::white);
    QPolygon outline;
    outline << r.topLeft() << QPoint(r.right() - 3, r.top()) << QPoint(r.right(), r.top() + 3)
            << r.bottomRight() << r.bottomLeft();
    p.drawPolygon(outline);
    p.drawLine(r.right() - 3, r.top(), r.right() - 3, r.top() + 3);
    p.drawLine(r.right() - 3, r.top() + 3, r.right(), r.top() + 3);
}

const QList<Picture> &pictures()
{
    static const QList<Picture> all = {
        {"MenuFichier_Nouveau", {16, 16}, Magenta, [](QPainter &p) { sheet(p, QRect(3, 1, 10, 14)); }},
        {"MenuFichier_Ouvrir", {16, 16}, Magenta,
         [](QPainter &p) {
             p.setPen(QColor(120, 90, 0));
             p.setBrush(QColor(240, 200, 80));
             p.drawRect(1, 6, 11, 8);
             p.setBrush(QColor(255, 225, 120));
             p.drawPolygon(QPolygon({QPoint(3, 9), QPoint(15, 9), QPoint(12, 14), QPoint(1, 14)}));
             p.setPen(QPen(QColor(0, 100, 200), 1.5));
             p.setBrush(Qt::NoBrush);
             QPainterPath arrow(QPointF(6, 5));
             arrow.quadTo(9, 0, 13, 4);
             p.drawPath(arrow);
             p.drawLine(13, 4, 13, 1);
             p.drawLine(13, 4, 10, 4);
         }},
        {"MenuFichier_Enregistrer", {17, 16}, Magenta,
         [](QPainter &p) {
             p.setPen(QColor(20, 20, 80));
             p.setBrush(QColor(40, 60, 160));
             p.drawRect(1, 1, 14, 14);
             p.setBrush(Qt::white);
             p.drawRect(4, 1, 8, 6);
             p.setBrush(QColor(180, 180, 190));
             p.drawRect(4, 10, 8, 5);
         }},
        {"MenuFichier_Imprimer", {16, 16}, Magenta,
         [](QPainter &p) {
             sheet(p, QRect(4, 0, 8, 7));
             p.setPen(QColor(50, 50, 50));
             p.setBrush(QColor(170, 170, 170));
             p.drawRect(1, 6, 14, 6);
             p.setBrush(Qt::white);
             p.drawRect(4, 11, 8, 4);
             p.fillRect(12, 8, 2, 1, QColor(0, 170, 0));
         }},
        {"MenuEdition_Annuler", {16, 16}, Magenta,
         [](QPainter &p) {
             p.setPen(QPen(QColor(0, 70, 200), 2));
             p.setBrush(Qt::NoBrush);
             QPainterPath curve(QPointF(13, 13));
             curve.cubicTo(15, 5, 8, 3, 4, 6);
             p.drawPath(curve);
             p.setBrush(QColor(0, 70, 200));
             p.setPen(Qt::NoPen);
             p.drawPolygon(QPolygon({QPoint(1, 7), QPoint(6, 2), QPoint(7, 10)}));
         }},
        {"MenuEdition_Couper", {16, 16}, Magenta,
         [](QPainter &p) {
             p.setPen(QPen(QColor(0, 60, 180), 1.5));
             p.setBrush(Qt::NoBrush);
             p.drawLine(5, 1, 10, 10);
             p.drawLine(11, 1, 6, 10);
             p.drawEllipse(QPointF(4.5, 12.5), 2.5, 2.5);
             p.drawEllipse(QPointF(11.5, 12.5), 2.5, 2.5);
         }},
        {"MenuEdition_Copier", {16, 16}, Magenta,
         [](QPainter &p) {
             sheet(p, QRect(1, 1, 8, 10));
             sheet(p, QRect(6, 5, 8, 10));
         }},
        {"MenuEdition_Coller", {16, 16}, Magenta,
         [](QPainter &p) {
             p.setPen(QColor(90, 60, 20));
             p.setBrush(QColor(190, 140, 70));
             p.drawRect(1, 2, 11, 13);
             p.setBrush(QColor(150, 150, 150));
             p.drawRect(4, 0, 5, 3);
             sheet(p, QRect(6, 6, 8, 9));
         }},
        {"MenuEdition_Rechercher", {16, 16}, Magenta,
         [](QPainter &p) {
             p.setPen(QColor(20, 20, 20));
             p.setBrush(QColor(60, 60, 70));
             p.drawRect(2, 3, 4, 6);
             p.drawRect(10, 3, 4, 6);
             p.drawRect(6, 5, 4, 2);
             p.setBrush(QColor(120, 180, 255));
             p.drawEllipse(QPoint(4, 12), 3, 3);
             p.drawEllipse(QPoint(12, 12), 3, 3);
         }},
        {"MenuFormat_Preferences", {16, 16}, QColor(24, 24, 24),
         [](QPainter &p) {
             p.setPen(QColor(70, 70, 70));
             p.setBrush(QColor(160, 160, 160));
             p.drawPolygon(QPolygon({QPoint(2, 12), QPoint(9, 5), QPoint(11, 7), QPoint(4, 14)}));
             p.drawEllipse(QPoint(11, 4), 4, 4);
             p.setBrush(QColor(24, 24, 24));
             p.setPen(Qt::NoPen);
             p.drawRect(11, 0, 5, 4);
         }},
        {"MenuFormat_Police", {16, 16}, Magenta,
         [](QPainter &p) {
             QFont f(QStringLiteral("DejaVu Serif"));
             f.setPixelSize(15);
             f.setBold(true);
             p.setFont(f);
             p.setPen(QColor(0, 60, 200));
             p.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, QStringLiteral("A"));
         }},
        {"MenuAide_APropos", {17, 16}, QColor(255, 0, 208),
         [](QPainter &p) {
             const QColor colours[] = {Qt::red, QColor(255, 160, 0), Qt::yellow, QColor(0, 190, 0),
                                       QColor(0, 120, 255), QColor(140, 0, 220)};
             p.setPen(Qt::NoPen);
             for (int i = 0; i < 6; ++i) {
                 p.setBrush(colours[i]);
                 p.drawPie(QRect(1, 0, 15, 15), i * 60 * 16, 60 * 16);
             }
             p.setBrush(Qt::white);
             p.drawEllipse(QPoint(8, 7), 2, 2);
         }},
    };
    return all;
}

} // namespace

QPixmap MenuPicture(const QString &itemName)
{
    for (const Picture &picture : pictures()) {
        if (itemName != QLatin1String(picture.item))
            continue;
        // Drawn over nothing rather than over the key colour: an antialiased
        // edge then fades into transparency instead of into a fringe of the
        // key. Where a picture paints the key colour itself, it cuts a hole.
        QImage image(picture.size, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing, false);
            picture.draw(painter);
        }
        const QRgb key = picture.transparent.rgb();
        for (int y = 0; y < image.height(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
            std::replace(line, line + image.width(), key, QRgb(0));
        }
        return QPixmap::fromImage(image);
    }
    return QPixmap();
}
