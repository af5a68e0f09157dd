// Decodes, encodes, loads and saves 10 MB and 50 MB of French text in
// 80-character lines (UTF-8 and Windows-1252, CR LF). The figures to watch:
// milliseconds per operation; decoding 50 MB should stay well under 300 ms.
#include "platform/TextFile.h"

#include <QElapsedTimer>
#include <QStringList>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <functional>
#include <limits>

namespace {

// Lines of about 80 characters built from French words, ending in CR LF.
QString frenchText(qsizetype utf8Bytes)
{
    const QStringList words = QStringLiteral(
            "le été où déjà garçon cœur œuvre naïve Noël à côté fenêtre "
            "l’hôpital élève maître français 12,50 € « bientôt » s’il "
            "vous plaît après-midi château forêt ça très plutôt")
                                      .split(u' ');
    QString text;
    text.reserve(utf8Bytes);
    QString line;
    qsizetype bytes = 0;
    for (quint32 i = 0; bytes < utf8Bytes; ++i) {
        const QString &word = words.at((i * 7919u) % words.size());
        if (line.size() + 1 + word.size() > 80) {
            text += line;
            text += u'\n';
            bytes += line.toUtf8().size() + 2;
            line.clear();
        }
        if (!line.isEmpty())
            line += u' ';
        line += word;
    }
    return text;
}

// Best of three runs, in milliseconds.
double best(const std::function<void()> &work)
{
    double fastest = std::numeric_limits<double>::max();
    for (int run = 0; run < 3; ++run) {
        QElapsedTimer timer;
        timer.start();
        work();
        fastest = std::min(fastest, timer.nsecsElapsed() / 1e6);
    }
    return fastest;
}

} // namespace

int main()
{
    QTextStream out(stdout);
    QTemporaryDir dir;
    for (const int megabytes : {10, 50}) {
        const QString text = frenchText(qsizetype(megabytes) << 20);
        for (const auto encoding : {TextFormat::Encoding::Utf8, TextFormat::Encoding::Windows1252}) {
            TextFormat format;
            format.encoding = encoding;
            format.lineEnd = TextFormat::LineEnd::CrLf;
            const QByteArray bytes = TextFile::Encode(text, format);
            const QString path = dir.filePath(QStringLiteral("bench.txt"));
            DecodedText decoded;
            QByteArray encoded;
            std::optional<DecodedText> loaded;
            TextFormat written = format;
            bool saved = true;

            const double decode = best([&] { decoded = TextFile::Decode(bytes); });
            const double encode = best([&] { encoded = TextFile::Encode(text, format); });
            const double save = best([&] { saved &= TextFile::Save(path, text, &written); });
            const double load = best([&] { loaded = TextFile::Load(path); });
            const bool ok = decoded.text == text && decoded.format.encoding == encoding
                    && encoded == bytes && saved && loaded && loaded->text == text;
            out << megabytes << " MB "
                << (encoding == TextFormat::Encoding::Utf8 ? "UTF-8       " : "Windows-1252")
                << " (" << bytes.size() << " bytes): decode " << decode << " ms, encode " << encode
                << " ms, load " << load << " ms, save " << save << " ms"
                << (ok ? "" : "  WRONG RESULT") << Qt::endl;
            if (!ok)
                return 1;
        }
    }
    return 0;
}
