#include "platform/RichTextBox.h"

#include "platform/TextMatcher.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QKeyEvent>
#include <QMimeData>
#include <QSignalBlocker>

#include <algorithm>
#include <memory>
#include <new>

RichTextBox::RichTextBox(QWidget *parent)
    : TextView(parent), m_format(TextFile::NewDocumentFormat())
{
    connect(this, &TextView::textChanged, this, &RichTextBox::Change);
    connect(this, &TextView::selectionChanged, this, &RichTextBox::SelChange);
}

QString RichTextBox::TextSpan(int start, int length) const
{
    const qsizetype from = std::clamp<qsizetype>(start, 0, store().length());
    return store().mid(from, std::clamp<qsizetype>(length, 0, store().length() - from));
}

void RichTextBox::setSelStart(int start)
{
    setSelection(start, start);
}

void RichTextBox::setSelLength(int length)
{
    const qsizetype start = selectionStart();
    setSelection(start, start + std::max(length, 0));
}

void RichTextBox::ReplaceRanges(const QList<QPair<int, int>> &ranges, const QString &text)
{
    if (ranges.isEmpty())
        return;
    // The caret ends after the last replacement, as after replacing one by one.
    qsizetype caret = ranges.constLast().first + text.size();
    for (qsizetype i = 0; i + 1 < ranges.size(); ++i)
        caret += text.size() - ranges[i].second;
    {
        const QSignalBlocker quiet(this);
        store().replaceRanges(ranges, text);
        setSelection(caret, caret);
    }
    emit Change();
    emit SelChange();
}

void RichTextBox::setSelColor(const QColor &color)
{
    QPalette p = palette();
    p.setColor(QPalette::Text, color);
    setPalette(p);
}

void RichTextBox::setSelFontSize(int points)
{
    QFont f = font();
    f.setPointSize(std::max(points, 1));
    setFont(f);
}

void RichTextBox::setSelBold(bool bold)
{
    QFont f = font();
    f.setBold(bold);
    setFont(f);
}

void RichTextBox::setSelItalic(bool italic)
{
    QFont f = font();
    f.setItalic(italic);
    setFont(f);
}

QFont RichTextBox::withFontName(QFont font, const QString &name)
{
    // A face missing here falls back to a monospaced one, not a proportional one.
    font.setFamilies({name, QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Liberation Mono")});
    font.setStyleHint(QFont::TypeWriter, font.styleStrategy());
    return font;
}

void RichTextBox::setFontName(const QString &name)
{
    setFont(withFontName(font(), name));
}

void RichTextBox::setBackColor(const QColor &color)
{
    QPalette p = palette();
    p.setColor(QPalette::Base, color);
    setPalette(p);
}

int RichTextBox::Find(const QString &text, int start, int end, int options)
{
    const TextMatcher matcher(text, options & MatchCase, options & WholeWord);
    const qsizetype hit = matcher.indexIn(Text(), start, end);
    if (hit >= 0)
        setSelection(hit, hit + matcher.length());
    return int(hit);
}

bool RichTextBox::LoadFile(const QString &path, TextFile::LoadError *error)
{
    // A file too big for the memory left fails like one that cannot be read,
    // instead of ending the program: the editor's structures do not survive
    // running out of memory half-way, so their need is checked first.
    try {
        std::optional<DecodedText> decoded = TextFile::Load(path, error);
        if (decoded && hasRoomFor(decoded->text.size(), lineCount(decoded->text))) {
            m_format = decoded->format;
            load(std::move(decoded->text), m_format.lineEnd);
            // A file of mixed line ends: each line keeps its own.
            for (qsizetype line = 0; line < decoded->lineEnds.size(); ++line) {
                if (decoded->lineEnds[line] != m_format.lineEnd)
                    store().setLineEnd(line, decoded->lineEnds[line]);
            }
            return true;
        }
        if (decoded && error)
            *error = TextFile::LoadError::TooLarge;
    } catch (const std::bad_alloc &) {
        if (error)
            *error = TextFile::LoadError::TooLarge;
        // Whatever part went in goes, without counting as an edit.
        const QSignalBlocker quiet(this);
        clear();
    }
    return false;
}

qsizetype RichTextBox::lineCount(QStringView text)
{
    // indexOf scans many characters at a time, count() one by one.
    qsizetype lines = 1;
    for (qsizetype at = text.indexOf(u'\n'); at >= 0; at = text.indexOf(u'\n', at + 1))
        ++lines;
    return lines;
}

bool RichTextBox::hasRoomFor(qsizetype characters, qsizetype lines)
{
    // Beside the text already decoded: its line index, and the copy the
    // first edit may make to open a gap.
    const qint64 need = 2 * qint64(characters) + 8 * qint64(lines);
    if (need < (qint64(64) << 20))
        return true;
    // Fails under an address-space limit; the memory is never touched.
    if (!std::unique_ptr<char[]>(new (std::nothrow) char[size_t(need)]))
        return false;
#ifdef Q_OS_LINUX
    // The system would rather kill the program than fail an allocation.
    QFile info(QStringLiteral("/proc/meminfo"));
    if (info.open(QIODevice::ReadOnly)) {
        qint64 available = 0;
        for (const QByteArray &line : info.readAll().split('\n')) {
            if (line.startsWith("MemAvailable:") || line.startsWith("SwapFree:")) {
                const QByteArray kB = line.mid(line.indexOf(':') + 1).trimmed();
                available += kB.left(kB.indexOf(' ')).toLongLong() * 1024;
            }
        }
        if (available > 0 && need > available)
            return false;
    }
#endif
    return true;
}

void RichTextBox::resetFileFormat()
{
    m_format = TextFile::NewDocumentFormat();
}

bool RichTextBox::SaveFile(const QString &path)
{
    TextFile::LineEnds ends;
    if (!store().otherLineEnds().empty()) {
        ends.fill(store().usualLineEnd(), store().lineCount() - 1);
        for (const auto &[line, end] : store().otherLineEnds()) {
            if (line < ends.size())
                ends[line] = end;
        }
    }
    return TextFile::Save(path, Text(), &m_format, ends);
}

bool RichTextBox::isReserved(const QKeyEvent *event) const
{
    return !m_reserved.isEmpty() && m_reserved.contains(QKeySequence(event->keyCombination()));
}

bool RichTextBox::event(QEvent *event)
{
    if (event->type() == QEvent::ShortcutOverride && isReserved(static_cast<QKeyEvent *>(event))) {
        event->ignore(); // let the window's shortcut have it
        return true;
    }
    return TextView::event(event);
}

void RichTextBox::keyPressEvent(QKeyEvent *event)
{
    // Only reached by a reserved key whose menu item is disabled.
    if (isReserved(event)) {
        event->accept();
        return;
    }
    int shift = 0;
    if (event->modifiers() & Qt::ShiftModifier)
        shift |= 1;
    if (event->modifiers() & Qt::ControlModifier)
        shift |= 2;
    if (event->modifiers() & Qt::AltModifier)
        shift |= 4;
    emit KeyDown(event->key(), shift);
    const QString typed = event->text();
    if (typed.size() == 1 && typed.at(0).unicode() < 256)
        emit KeyPress(typed.at(0).unicode());
    TextView::keyPressEvent(event);
}

bool RichTextBox::isOwnDrag(const QDropEvent *event) const
{
    return event->source() == this || event->source() == viewport();
}

namespace {

// What comes from outside is copied or linked, never moved: the source of a
// move (a file manager, another editor) deletes its copy.
Qt::DropAction outsideEffect(const QDropEvent *event)
{
    if (event->possibleActions() & Qt::CopyAction)
        return Qt::CopyAction;
    if (event->possibleActions() & Qt::LinkAction)
        return Qt::LinkAction;
    return Qt::IgnoreAction;
}

// Accepting tells the source what happened to its data; a refusal must be
// an ignore, which leaves the source everything.
void answer(QDropEvent *event, Qt::DropAction effect)
{
    if (effect == Qt::IgnoreAction) {
        event->ignore();
        return;
    }
    event->setDropAction(effect);
    event->accept();
}

} // namespace

void RichTextBox::dragEnterEvent(QDragEnterEvent *event)
{
    if (isOwnDrag(event))
        TextView::dragEnterEvent(event);
    else
        answer(event, outsideEffect(event));
}

void RichTextBox::dragMoveEvent(QDragMoveEvent *event)
{
    if (isOwnDrag(event))
        TextView::dragMoveEvent(event);
    else
        answer(event, outsideEffect(event));
}

void RichTextBox::dropEvent(QDropEvent *event)
{
    // Moving the selection with the mouse stays the control's own business;
    // anything from outside is the window's to open or refuse.
    if (isOwnDrag(event)) {
        TextView::dropEvent(event);
        return;
    }
    Qt::DropAction effect = outsideEffect(event);
    if (effect != Qt::IgnoreAction)
        emit OLEDragDrop(event->mimeData(), effect);
    answer(event, effect);
}
