#include "app/Conversion.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QPalette>

#include <cmath>

namespace Conversion {

quint8 BoolToCheckValue(bool value)
{
    return value ? 1 : 0;
}

bool CheckValueToBool(quint8 value)
{
    return value == 1;
}

void MakeClipboardPlainText()
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    const QMimeData *data = clipboard->mimeData();
    if (data && data->hasText()) {
        const QString text = data->text();
        clipboard->clear();
        clipboard->setText(text);
    } else {
        clipboard->clear();
    }
}

bool IsPathSeparator(QChar c)
{
#ifdef Q_OS_WIN
    return c == QLatin1Char('\\') || c == QLatin1Char('/');
#else
    return c == QLatin1Char('/');
#endif
}

static qsizetype lastSeparator(const QString &path)
{
    for (qsizetype i = path.size() - 1; i >= 0; --i) {
        if (IsPathSeparator(path.at(i)))
            return i;
    }
    return -1;
}

QString ExtractDirectory(const QString &path)
{
    return path.left(lastSeparator(path) + 1);
}

QString StripQuotes(const QString &text)
{
    if (!text.startsWith(QLatin1Char('"')))
        return text;
    const qsizetype close = text.indexOf(QLatin1Char('"'), 1);
    if (close < 0)
        return QString();
    return text.mid(1, close - 1);
}

QString ExtractDisplayName(const QString &path)
{
    constexpr int MaxCharacters = 64;
    const QString name = path.mid(lastSeparator(path) + 1);
    qsizetype units = 0;
    for (int characters = 0; units < name.size(); ++characters) {
        if (characters == MaxCharacters)
            return name.left(units) + QStringLiteral("...");
        units += (name.at(units).isHighSurrogate() && units + 1 < name.size()
                  && name.at(units + 1).isLowSurrogate()) ? 2 : 1;
    }
    return name;
}

int TwipsToPixels(int twips, int dpi)
{
    return int(std::lround(double(twips) * dpi / 1440.0));
}

int PixelsToTwips(int pixels, int dpi)
{
    return int(std::lround(double(pixels) * 1440.0 / dpi));
}

} // namespace Conversion
