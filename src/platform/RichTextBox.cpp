#include "platform/RichTextBox.h"

#include "platform/TextMatcher.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QKeyEvent>
#include <QMimeData>
#include <QPrinter>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>
#include <memory>
#include <new>

RichTextBox::RichTextBox(QWidget *parent)
    : QPlainTextEdit(parent), m_format(TextFile::NewDocumentFormat())
{
    connect(this, &QPlainTextEdit::textChanged, this, &RichTextBox::Change);
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, &RichTextBox::raiseSelChange);
    connect(this, &QPlainTextEdit::selectionChanged, this, &RichTextBox::raiseSelChange);
    // A scroll bar that comes and goes would narrow the page and wrap every
    // visible line again.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

QString RichTextBox::Text() const
{
    // toPlainText() would turn non-breaking spaces into spaces.
    QString text = document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
}

void RichTextBox::setText(const QString &text)
{
    QTextCursor cursor(document());
    cursor.select(QTextCursor::Document);
    cursor.insertText(text);
    setTextCursor(cursor);
}

int RichTextBox::TextLength() const
{
    return document()->characterCount() - 1;
}

QString RichTextBox::TextSpan(int start, int length) const
{
    QTextCursor cursor(document());
    cursor.setPosition(std::clamp(start, 0, TextLength()));
    cursor.setPosition(std::clamp(start + std::max(length, 0), cursor.position(), TextLength()),
                       QTextCursor::KeepAnchor);
    QString text = cursor.selectedText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
}

int RichTextBox::SelStart() const
{
    return textCursor().selectionStart();
}

void RichTextBox::setSelStart(int start)
{
    QTextCursor cursor = textCursor();
    cursor.setPosition(std::clamp(start, 0, TextLength()));
    setTextCursor(cursor);
}

int RichTextBox::SelLength() const
{
    const QTextCursor cursor = textCursor();
    return cursor.selectionEnd() - cursor.selectionStart();
}

void RichTextBox::setSelLength(int length)
{
    QTextCursor cursor = textCursor();
    const int start = cursor.selectionStart();
    cursor.setPosition(start);
    cursor.setPosition(std::clamp(start + std::max(length, 0), start, TextLength()),
                       QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

QString RichTextBox::SelText() const
{
    QString text = textCursor().selectedText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
}

void RichTextBox::setSelText(const QString &text)
{
    QTextCursor cursor = textCursor();
    cursor.insertText(text);
    setTextCursor(cursor);
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

void RichTextBox::setFontName(const QString &name)
{
    QFont f = font();
    // A face missing here falls back to a monospaced one, not a proportional one.
    f.setFamilies({name, QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Liberation Mono")});
    f.setStyleHint(QFont::TypeWriter, f.styleStrategy());
    setFont(f);
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
    const qsizetype p = matcher.indexIn(Text(), start, end);
    if (p < 0)
        return -1;
    QTextCursor hit = textCursor();
    hit.setPosition(int(p));
    hit.setPosition(int(p) + matcher.length(), QTextCursor::KeepAnchor);
    setTextCursor(hit);
    return int(p);
}

void RichTextBox::ReplaceRanges(const QList<QPair<int, int>> &ranges, const QString &text)
{
    if (ranges.isEmpty())
        return;
    // One edit of the span from the first range to the end of the last, by
    // the span rebuilt: edits one by one cost a piece of the document each
    // and leave it in as many fragments.
    const int first = ranges.first().first;
    const int last = ranges.last().first + ranges.last().second;
    QTextCursor cursor(document());
    cursor.setPosition(first);
    cursor.setPosition(last, QTextCursor::KeepAnchor);
    const QString old = cursor.selectedText();
    QString span;
    span.reserve(std::max<qsizetype>(0, old.size() + ranges.size() * (text.size() - ranges.first().second)));
    int at = first;
    for (const auto &[start, length] : ranges) {
        span += QStringView(old).mid(at - first, start - at);
        span += text;
        at = start + length;
    }
    span.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    // The caret moves with the edit, and again when it is put after it.
    m_replacing = true;
    cursor.insertText(span);
    m_replacing = false;
    setTextCursor(cursor);
}

bool RichTextBox::LoadFile(const QString &path, TextFile::LoadError *error)
{
    // A file too big for the memory left fails like one that cannot be read,
    // instead of ending the program: the editor's structures do not survive
    // running out of memory half-way, so their need is checked first.
    try {
        std::optional<DecodedText> decoded = TextFile::Load(path, error);
        const LineShape shape = decoded ? shapeOf(decoded->text) : LineShape();
        if (decoded && hasRoomFor(decoded->text.size(), shape.lines)) {
            m_format = decoded->format;
            setTextOfFile(decoded->text, shape.longest > LongLine);
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

RichTextBox::LineShape RichTextBox::shapeOf(const QString &text)
{
    LineShape shape;
    for (qsizetype start = 0; start <= text.size(); ++shape.lines) {
        qsizetype end = text.indexOf(QLatin1Char('\n'), start);
        if (end < 0)
            end = text.size();
        shape.longest = std::max(shape.longest, end - start);
        start = end + 1;
    }
    return shape;
}

void RichTextBox::setTextOfFile(const QString &text, bool longLines)
{
    // Lines of megabytes are costly to lay out: Qt drops a line's layout data
    // once it is laid out and rebuilds it for every paint of the caret, so
    // each blink would cost a good part of a second. Such lines keep their
    // data, and the text is laid out character by character (no kerning or
    // ligatures), which halves the time of each layout of them.
    QFont f = font();
    f.setStyleStrategy(longLines ? QFont::PreferNoShaping : QFont::PreferDefault);
    setFont(f);
    // Straight into the document: the control's own setPlainText() would lay
    // out the first line at once, before its data can be kept.
    document()->setPlainText(text);
    if (longLines) {
        for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
            if (block.length() > LongLine)
                block.layout()->setCacheEnabled(true);
        }
    }
    document()->setModified(false);
    setTextCursor(QTextCursor(document()));
}

bool RichTextBox::hasRoomFor(qsizetype characters, qsizetype lines)
{
    // Measured: about 5 bytes a character and 100 to 130 a line at the peak.
    const qint64 need = 6 * qint64(characters) + 140 * qint64(lines);
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
    QFont f = font();
    f.setStyleStrategy(QFont::PreferDefault);
    setFont(f);
}

bool RichTextBox::SaveFile(const QString &path)
{
    return TextFile::Save(path, Text(), &m_format);
}

void RichTextBox::SelPrint(QPrinter *printer)
{
    print(printer);
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
    return QPlainTextEdit::event(event);
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
    QPlainTextEdit::keyPressEvent(event);
}

void RichTextBox::insertFromMimeData(const QMimeData *source)
{
    if (source && source->hasText()) {
        textCursor().insertText(source->text());
        ensureCursorVisible();
    }
}

bool RichTextBox::canInsertFromMimeData(const QMimeData *source) const
{
    return source && source->hasText();
}

bool RichTextBox::isOwnDrag(const QDropEvent *event) const
{
    return event->source() == this || event->source() == viewport();
}

void RichTextBox::dragEnterEvent(QDragEnterEvent *event)
{
    if (isOwnDrag(event))
        QPlainTextEdit::dragEnterEvent(event);
    else
        event->acceptProposedAction();
}

void RichTextBox::dragMoveEvent(QDragMoveEvent *event)
{
    if (isOwnDrag(event))
        QPlainTextEdit::dragMoveEvent(event);
    else
        event->acceptProposedAction();
}

void RichTextBox::dropEvent(QDropEvent *event)
{
    // Moving the selection with the mouse stays the control's own business;
    // anything from outside is the window's to open or refuse.
    if (isOwnDrag(event)) {
        QPlainTextEdit::dropEvent(event);
        return;
    }
    event->acceptProposedAction();
    emit OLEDragDrop(event->mimeData());
}

void RichTextBox::raiseSelChange()
{
    if (m_replacing)
        return;
    const QTextCursor cursor = textCursor();
    if (cursor.anchor() == m_lastAnchor && cursor.position() == m_lastPosition)
        return;
    m_lastAnchor = cursor.anchor();
    m_lastPosition = cursor.position();
    emit SelChange();
}
