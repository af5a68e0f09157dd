#pragma once

#include <QByteArray>

// French-flavoured text in lines of about 80 bytes (CR LF), or one line.
inline QByteArray frenchText(qint64 bytes, bool singleLine)
{
    const QByteArray words[] = {"été", "déjà", "château", "forêt", "élève", "hôpital", "garçon",
                                "Noël", "cœur", "naïf", "les", "une", "avec", "pour", "dans"};
    QByteArray out;
    out.reserve(bytes + 100);
    QByteArray line;
    unsigned seed = 12345;
    while (out.size() < bytes) {
        seed = seed * 1103515245u + 12345u;
        line += words[(seed >> 16) % 15];
        line += ' ';
        if (line.size() >= 78) {
            out += line;
            out += singleLine ? " " : "\r\n";
            line.clear();
        }
    }
    return out;
}
