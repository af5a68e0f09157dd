#include "app/ConfigFile.h"

#include "app/Globals.h"
#include "app/Surroundings.h"
#include "platform/AtomicFile.h"
#include "platform/MessageBox.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStringDecoder>
#include <QStringEncoder>

#include <cmath>
#include <limits>
#include <optional>

namespace {

// No real settings file comes near this; a huge one is not read whole.
constexpr qint64 MaxConfigBytes = 1 << 20;

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

bool endsField(QChar c)
{
    return c == QLatin1Char(',') || c == QLatin1Char('\r') || c == QLatin1Char('\n');
}

// Reads the file as a stream of fields: blanks around a field are skipped,
// an unquoted field ends at a comma or a line end, a quoted one at the next
// double quote.
class FieldReader
{
public:
    explicit FieldReader(const QString &text) : m_text(text) {}

    std::optional<QString> next()
    {
        while (m_pos < m_text.size() && isBlank(m_text.at(m_pos)))
            ++m_pos;
        if (m_pos >= m_text.size())
            return std::nullopt;
        QString value;
        if (m_text.at(m_pos) == QLatin1Char('"')) {
            value = quoted();
            while (m_pos < m_text.size() && !endsField(m_text.at(m_pos)))
                ++m_pos;
        } else {
            const qsizetype start = m_pos;
            while (m_pos < m_text.size() && !endsField(m_text.at(m_pos)))
                ++m_pos;
            qsizetype end = m_pos;
            while (end > start && isBlank(m_text.at(end - 1)))
                --end;
            value = m_text.mid(start, end - start);
        }
        skipDelimiter();
        return value;
    }

private:
    // A doubled quote inside holds one quote; earlier files never had one
    // there, since their writer cut such a value at its second quote anyway.
    QString quoted()
    {
        QString value;
        ++m_pos;
        while (m_pos < m_text.size()) {
            const qsizetype close = m_text.indexOf(QLatin1Char('"'), m_pos);
            if (close < 0)
                break;
            value += QStringView(m_text).mid(m_pos, close - m_pos);
            m_pos = close + 1;
            if (m_pos >= m_text.size() || m_text.at(m_pos) != QLatin1Char('"'))
                return value;
            value += QLatin1Char('"');
            ++m_pos;
        }
        value += QStringView(m_text).mid(m_pos);
        m_pos = m_text.size();
        return value;
    }

    void skipDelimiter()
    {
        if (m_pos >= m_text.size())
            return;
        const QChar c = m_text.at(m_pos++);
        if (c == QLatin1Char('\r') && m_pos < m_text.size() && m_text.at(m_pos) == QLatin1Char('\n'))
            ++m_pos;
    }

    const QString &m_text;
    qsizetype m_pos = 0;
};

// A decimal number with optional sign, fraction and exponent; empty text is 0.
std::optional<double> toNumber(const QString &text)
{
    if (text.isEmpty())
        return 0.0;
    for (QChar c : text) {
        if (!(c.isDigit() && c.unicode() < 128) && !QStringLiteral("+-.eE").contains(c))
            return std::nullopt;
    }
    bool ok = false;
    const double value = QLocale::c().toDouble(text, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// Rounded half to even.
std::optional<double> toWholeNumber(const QString &text)
{
    const std::optional<double> value = toNumber(text);
    return value ? std::optional<double>(std::nearbyint(*value)) : std::nullopt;
}

template<typename T>
bool readInteger(const QString &text, T &field, double low, double high)
{
    const std::optional<double> value = toWholeNumber(text);
    if (!value || *value < low || *value > high)
        return false;
    field = T(qint64(*value));
    return true;
}

bool readBoolean(const QString &text, bool &field)
{
    if (text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) {
        field = true;
        return true;
    }
    if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) {
        field = false;
        return true;
    }
    // Not rounded first: 0.4 is a number other than 0, so true.
    const std::optional<double> value = toNumber(text);
    if (!value)
        return false;
    field = *value != 0;
    return true;
}

template<typename T>
bool readSigned(const QString &text, T &field)
{
    return readInteger(text, field, double(std::numeric_limits<T>::min()),
                       double(std::numeric_limits<T>::max()));
}

bool readColor(const QString &text, quint32 &field)
{
    qint32 value = 0;
    if (!readSigned(text, value))
        return false;
    field = quint32(value);
    return true;
}

QString number(qint64 value)
{
    return (value < 0 ? QString() : QStringLiteral(" ")) + QString::number(value)
           + QLatin1Char(' ');
}

QString boolean(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

// Quoted only when the plain form could not be read back whole, so that
// earlier versions still read what they can.
QString text(const QString &value)
{
    const bool needsQuotes = value.contains(QLatin1Char(','))
                             || (!value.isEmpty()
                                 && (isBlank(value.front()) || isBlank(value.back())
                                     || value.front() == QLatin1Char('"')));
    if (!needsQuotes)
        return value;
    QString doubled = value;
    doubled.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + doubled + QLatin1Char('"');
}

} // namespace

namespace ConfigFile {

QString Path(const QString &programDir)
{
    return programDir + QDir::separator() + QStringLiteral("Qorvik Note pad.ini");
}

bool Parse(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringConverter::System, QStringConverter::Flag::Stateless);
    const QString content = decoder.decode(bytes);
    FieldReader reader(content);

    // Each value is stored before the next is read: a failure part-way keeps
    // the window bounds already read.
    using Store = bool (*)(const QString &, Settings &);
    static const Store fields[] = {
        [](const QString &v, Settings &s) { return readBoolean(v, s.SaveOnExit); },
        [](const QString &v, Settings &s) { return readInteger(v, s.WindowState, 0, 255); },
        [](const QString &v, Settings &s) { return readSigned(v, s.WindowLeft); },
        [](const QString &v, Settings &s) { return readSigned(v, s.WindowTop); },
        [](const QString &v, Settings &s) { return readSigned(v, s.WindowWidth); },
        [](const QString &v, Settings &s) { return readSigned(v, s.WindowHeight); },
        [](const QString &v, Settings &s) { return readColor(v, s.TextColor); },
        [](const QString &v, Settings &s) { return readColor(v, s.TextBackColor); },
        [](const QString &v, Settings &s) { return readBoolean(v, s.TransparencyOn); },
        [](const QString &v, Settings &s) { return readInteger(v, s.TransparencyLevel, 0, 255); },
        [](const QString &v, Settings &s) { return readBoolean(v, s.AlwaysOnTop); },
        [](const QString &v, Settings &s) { s.FontName = v; return true; },
        [](const QString &v, Settings &s) { return readSigned(v, s.FontSize); },
        [](const QString &v, Settings &s) { return readBoolean(v, s.FontBold); },
        [](const QString &v, Settings &s) { return readBoolean(v, s.FontItalic); },
        [](const QString &v, Settings &s) { s.FileFilter = v; return true; },
        [](const QString &v, Settings &s) { s.DefaultDir = v; return true; },
    };
    for (Store store : fields) {
        const std::optional<QString> value = reader.next();
        if (!value || !store(*value, Globals::settings))
            return false;
    }
    return true;
}

QByteArray Format(const WindowPlacement &live)
{
    const Settings &s = Globals::settings;
    const bool normal = live.state == 0;
    const QStringList lines = {
        boolean(s.SaveOnExit),
        number(live.state),
        number(normal ? live.left : s.WindowLeft),
        number(normal ? live.top : s.WindowTop),
        number(normal ? live.width : s.WindowWidth),
        number(normal ? live.height : s.WindowHeight),
        number(qint32(s.TextColor)),
        number(qint32(s.TextBackColor)),
        boolean(s.TransparencyOn),
        number(s.TransparencyLevel),
        boolean(s.AlwaysOnTop),
        text(s.FontName),
        number(s.FontSize),
        boolean(s.FontBold),
        boolean(s.FontItalic),
        text(s.FileFilter),
        text(s.DefaultDir),
    };
    QStringEncoder encoder(QStringConverter::System);
    return encoder.encode(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

} // namespace ConfigFile

bool ReadConfigFile(const Surroundings &env)
{
    const QString path = ConfigFile::Path(env.programDir);
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile() || info.isHidden())
        return false;

    QFile file(path);
    if (file.open(QIODevice::ReadOnly) && ConfigFile::Parse(file.read(MaxConfigBytes)))
        return true;
    file.close();

    SetDefaultSettings();
    env.messageBox->warn(QStringLiteral("Erreur de lecture du fichier INI !\n"
                                        "Les paramètres par défaut ont été restaurés."),
                         Globals::ProductTitle);
    // A file that cannot be deleted is left; the next write replaces it.
    QFile::remove(path);
    return false;
}

bool WriteConfigFile(const Surroundings &env, const WindowPlacement &live)
{
    if (WriteFileAtomically(ConfigFile::Path(env.programDir), ConfigFile::Format(live)))
        return true;
    env.messageBox->warn(QStringLiteral("Impossible de sauvegarder le fichier INI !"),
                         Globals::ProductTitle);
    return false;
}
