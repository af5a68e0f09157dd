#pragma once

#include <QPixmap>
#include <QString>

// The small pictures beside twelve menu items, drawn here on a background of
// their transparent colour, which is then keyed out. A null pixmap for an
// item without a picture.
QPixmap MenuPicture(const QString &itemName);
