// The settings file reader, fed any bytes: it either takes all 17 values from
// the file, or puts the defaults back (keeping the window bounds read before
// the failure), warns once and deletes the file. What it took is written and
// read back unchanged, and so does any text without a line break set as one
// of the string settings.
#include "app/ConfigFile.h"
#include "app/Globals.h"
#include "app/Surroundings.h"
#include "platform/MessageBox.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <tuple>

namespace {

class RecordingBox final : public MessageBox
{
public:
    Answer show(const QString &text, Buttons buttons, Icon icon, const QString &title,
                Answer) override
    {
        const bool warning = buttons == Buttons::Ok && icon == Icon::Exclamation
                             && title == Globals::ProductTitle;
        shown << (warning ? text : QStringLiteral("?") + text);
        return Answer::Ok;
    }
    QStringList shown;
};

void require(bool holds, const char *property)
{
    if (!holds) {
        std::fprintf(stderr, "property broken: %s\n", property);
        std::abort();
    }
}

auto defaulted(const Settings &s)
{
    return std::tie(s.SaveOnExit, s.WindowState, s.TextColor, s.TextBackColor, s.TransparencyOn,
                    s.TransparencyLevel, s.AlwaysOnTop, s.FontName, s.FontSize, s.FontBold,
                    s.FontItalic, s.FileFilter, s.DefaultDir);
}

auto bounds(const Settings &s)
{
    return std::array<qint32, 4>{s.WindowLeft, s.WindowTop, s.WindowWidth, s.WindowHeight};
}

bool same(const Settings &a, const Settings &b)
{
    return defaulted(a) == defaulted(b) && bounds(a) == bounds(b);
}

Settings defaults()
{
    Globals::settings = Settings();
    SetDefaultSettings();
    return Globals::settings;
}

// Two states before the read that differ from the defaults and from each
// other in every field, so that a field the read did not set shows.
Settings prior(int which)
{
    Settings s;
    s.SaveOnExit = false;
    s.WindowState = quint8(7 + which);
    s.WindowLeft = -111 - which;
    s.WindowTop = -222 - which;
    s.WindowWidth = -333 - which;
    s.WindowHeight = -444 - which;
    s.TextColor = 0x123456u + which;
    s.TextBackColor = 0x654321u + which;
    s.TransparencyOn = which == 0;
    s.TransparencyLevel = quint8(17 + which);
    s.AlwaysOnTop = which == 1;
    s.FontName = QStringLiteral("prior font %1").arg(which);
    s.FontSize = qint16(-77 - which);
    s.FontBold = which == 0;
    s.FontItalic = which == 1;
    s.FileFilter = QStringLiteral("prior filter %1").arg(which);
    s.DefaultDir = QStringLiteral("prior dir %1").arg(which);
    return s;
}

struct Outcome
{
    bool read = false;
    Settings settings;
    QStringList shown;
    bool fileLeft = false;
};

Outcome readOver(const Settings &before, const QByteArray &bytes)
{
    static QTemporaryDir dir;
    RecordingBox box;
    Surroundings env;
    env.programDir = dir.path();
    env.messageBox = &box;
    const QString path = ConfigFile::Path(env.programDir);
    QFile file(path);
    require(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size(), "setup");
    file.close();

    Globals::settings = before;
    Outcome outcome;
    outcome.read = ReadConfigFile(env);
    outcome.settings = Globals::settings;
    outcome.shown = box.shown;
    outcome.fileLeft = QFile::exists(path);
    QFile::remove(path);
    return outcome;
}

bool holdsLineEnd(const QString &s)
{
    return s.contains(QLatin1Char('\r')) || s.contains(QLatin1Char('\n'));
}

// The input as text, line breaks removed, set in turn as each string setting,
// written to the file and read back.
void stringsSurvive(const QByteArray &bytes)
{
    static QTemporaryDir dir;
    QString value = QString::fromUtf8(bytes);
    value.remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
    RecordingBox box;
    Surroundings env;
    env.programDir = dir.path();
    env.messageBox = &box;
    for (QString Settings::*field : {&Settings::FontName, &Settings::FileFilter,
                                     &Settings::DefaultDir}) {
        Globals::settings = prior(0);
        Globals::settings.*field = value;
        const Settings written = Globals::settings;
        require(WriteConfigFile(env, {0, written.WindowLeft, written.WindowTop,
                                      written.WindowWidth, written.WindowHeight}),
                "setup: write");
        Globals::settings = prior(1);
        require(ReadConfigFile(env), "a written string reads back");
        require(box.shown.isEmpty(), "a written string reads back without a warning");
        require(Globals::settings.*field == value, "a written string reads back unchanged");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const Settings Defaults = defaults();
    static const QString Warning = QStringLiteral(
            "Erreur de lecture du fichier INI !\nLes paramètres par défaut ont été restaurés.");
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const Settings priors[] = {prior(0), prior(1)};
    const Outcome a = readOver(priors[0], bytes);
    const Outcome b = readOver(priors[1], bytes);
    stringsSurvive(bytes);

    require(a.read == b.read, "the outcome does not depend on the settings before");
    if (a.read) {
        require(same(a.settings, b.settings), "a successful read sets all 17 fields");
        require(a.shown.isEmpty(), "a successful read shows nothing");
        require(a.fileLeft, "a successful read keeps the file");

        // Strings the format can hold come back from a write and a read.
        const Settings &s = a.settings;
        if (!holdsLineEnd(s.FontName) && !holdsLineEnd(s.FileFilter)
            && !holdsLineEnd(s.DefaultDir)) {
            Globals::settings = s;
            const QByteArray written = ConfigFile::Format(
                    {s.WindowState, s.WindowLeft, s.WindowTop, s.WindowWidth, s.WindowHeight});
            Globals::settings = priors[1];
            require(ConfigFile::Parse(written), "what was read can be written and read again");
            require(same(Globals::settings, s), "a write and a read keep every value");
        }
        return 0;
    }

    for (const Outcome *o : {&a, &b}) {
        require(defaulted(o->settings) == defaulted(Defaults), "a failed read restores the defaults");
        require(o->shown == QStringList{Warning}, "a failed read shows the one warning");
        require(!o->fileLeft, "a failed read deletes the file");
    }
    // The bounds read before the failure are the file's, the rest are as
    // they were; the file is read in order, so the read ones come first.
    const auto boundsA = bounds(a.settings), boundsB = bounds(b.settings);
    const auto priorA = bounds(priors[0]), priorB = bounds(priors[1]);
    bool stillReading = true;
    for (size_t i = 0; i < boundsA.size(); ++i) {
        const bool read = boundsA[i] == boundsB[i];
        require(read || (boundsA[i] == priorA[i] && boundsB[i] == priorB[i]),
                "an unread bound keeps its value");
        require(stillReading || !read, "bounds are read in order");
        stillReading = read;
    }
    return 0;
}
