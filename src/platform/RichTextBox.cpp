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

namespace {

// Closes an edit block for good: Qt merges typing into an insertion that
// ends a block, never into an item of this kind.
class StepEnd final : public QAbstractUndoItem
{
public:
    void undo() override {}
    void redo() override {}
};

} // namespace

void RichTextBox::setSelTextAsOneStep(const QString &text)
{
    QTextCursor cursor = textCursor();
    cursor.beginEditBlock();
    cursor.insertText(text);
    document()->appendUndoItem(new StepEnd);
    cursor.endEditBlock();
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
            markLineEnds(decoded->lineEnds);
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

void RichTextBox::markLineEnds(const TextFile::LineEnds &lineEnds)
{
    m_mixedLineEnds = !lineEnds.isEmpty();
    if (!m_mixedLineEnds)
        return;
    // A line's end lives in its block's format: Enter and a paste give new
    // blocks the format of the block they split, and undo and redo bring a
    // removed block back with its own. Lines of the file's first style carry
    // nothing, so only the others cost a format change: kept out of the
    // history, unseen by the program's change event, and in one edit, or
    // each change would lay its line out again at once.
    const QSignalBlocker quiet(this);
    document()->setUndoRedoEnabled(false);
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    QTextBlock block = document()->begin();
    for (const TextFormat::LineEnd end : lineEnds) {
        if (!block.isValid())
            break;
        if (end != m_format.lineEnd) {
            QTextBlockFormat own;
            own.setProperty(LineEndProperty, int(end));
            cursor.setPosition(block.position());
            cursor.mergeBlockFormat(own);
        }
        block = block.next();
    }
    cursor.endEditBlock();
    document()->setUndoRedoEnabled(true);
    document()->setModified(false);
}

TextFile::LineEnds RichTextBox::lineEnds() const
{
    TextFile::LineEnds ends;
    if (!m_mixedLineEnds)
        return ends;
    ends.reserve(document()->blockCount() - 1);
    for (QTextBlock block = document()->begin(); block.next().isValid(); block = block.next()) {
        const QVariant own = block.blockFormat().property(LineEndProperty);
        ends.append(own.isValid() ? TextFormat::LineEnd(own.toInt()) : m_format.lineEnd);
    }
    return ends;
}

void RichTextBox::resetFileFormat()
{
    m_format = TextFile::NewDocumentFormat();
    m_mixedLineEnds = false;
    QFont f = font();
    f.setStyleStrategy(QFont::PreferDefault);
    setFont(f);
}

bool RichTextBox::SaveFile(const QString &path)
{
    return TextFile::Save(path, Text(), &m_format, lineEnds());
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
        QPlainTextEdit::dragEnterEvent(event);
    else
        answer(event, outsideEffect(event));
}

void RichTextBox::dragMoveEvent(QDragMoveEvent *event)
{
    if (isOwnDrag(event))
        QPlainTextEdit::dragMoveEvent(event);
    else
        answer(event, outsideEffect(event));
}

void RichTextBox::dropEvent(QDropEvent *event)
{
    // Moving the selection with the mouse stays the control's own business;
    // anything from outside is the window's to open or refuse.
    if (isOwnDrag(event)) {
        QPlainTextEdit::dropEvent(event);
        return;
    }
    Qt::DropAction effect = outsideEffect(event);
    if (effect != Qt::IgnoreAction)
        emit OLEDragDrop(event->mimeData(), effect);
    answer(event, effect);
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
