#pragma once

#include <QByteArray>

// How the lines of frenchText end.
enum class Lines { CrLf, Single, Mixed };

// French-flavoured text in lines of about 80 bytes: CR LF, one line, or
// CR LF and LF mixed at random.
inline QByteArray frenchText(qint64 bytes, Lines lines)
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
            const bool lf = lines == Lines::Mixed && (seed >> 8) % 2;
            out += lines == Lines::Single ? " " : lf ? "\n" : "\r\n";
            line.clear();
        }
    }
    return out;
}
