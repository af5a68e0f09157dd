#pragma once

#include <QPixmap>
#include <QString>

// The small pictures beside twelve menu items, drawn here; every pixel of a
// picture's transparent colour is keyed out. A null pixmap for an item
// without a picture.
QPixmap MenuPicture(const QString &itemName);
