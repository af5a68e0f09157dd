#pragma once

#include <QColor>
#include <QtGlobal>

// Colour values as the settings and the colour dialog hold them: 0x00BBGGRR,
// or a system colour reference (0x80000005 window, 0x80000008 window text).
// Part of the Conversion helpers, kept here so the dialogs can use them.
namespace Conversion {

QColor ColorFromValue(quint32 value);
quint32 ValueFromColor(const QColor &color);

} // namespace Conversion
