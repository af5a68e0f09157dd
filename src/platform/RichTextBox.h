#pragma once

#include "platform/TextFile.h"
#include "platform/TextView.h"

#include <QKeySequence>
#include <QList>
#include <QPair>

class QMimeData;
class QPrinter;

// The editing control `txt`. The whole text has one format, held by the
// widget (font, palette), so typed and pasted text always takes it.
// Positions count UTF-16 code units from 0; a line break is one character.
// Change and SelChange are raised synchronously, also when the program
// itself changes the text or the selection.
class RichTextBox : public TextView
{
    Q_OBJECT

public:
    // Option bits of Find.
    enum FindOption { WholeWord = 2, MatchCase = 4 };

    explicit RichTextBox(QWidget *parent = nullptr);

    // Shared until the next edit: repeated calls copy nothing.
    QString Text() const { return store().text(); }
    // Replaces the whole content as one undoable edit.
    void setText(const QString &text) { replaceAll(text); }
    int TextLength() const { return int(store().length()); }
    // length characters of Text() from start, read without the rest.
    QString TextSpan(int start, int length) const;

    int SelStart() const { return int(selectionStart()); }
    // Moves the caret there; nothing stays selected.
    void setSelStart(int start);
    int SelLength() const { return int(selectionEnd() - selectionStart()); }
    // Selects length characters from SelStart.
    void setSelLength(int length);
    QString SelText() const { return selectedText(); }
    // Replaces the selection (or inserts at the caret) as one undoable edit,
    // never merged with typing before or after it.
    void setSelText(const QString &text) { insert(text); }
    // Replaces each range (start, length; ascending, not overlapping) by text,
    // as one undo step; Change and SelChange are raised once.
    void ReplaceRanges(const QList<QPair<int, int>> &ranges, const QString &text);

    void setSelColor(const QColor &color);
    void setSelFontSize(int points);
    void setSelBold(bool bold);
    void setSelItalic(bool italic);
    void setFontName(const QString &name);
    // font drawing the face name, or a monospaced face where it is missing.
    static QFont withFontName(QFont font, const QString &name);
    void setBackColor(const QColor &color);

    // Position of the first match at or after start that ends by end (-1: no
    // bound), selected in the control; -1 when there is none. Matching
    // follows TextMatcher; an empty text never matches.
    int Find(const QString &text, int start, int end = -1, int options = 0);

    // Plain-text load and save keep the file's encoding and line ends. A file
    // whose text would not fit in the memory left is refused (TooLarge).
    bool LoadFile(const QString &path, TextFile::LoadError *error = nullptr);
    bool SaveFile(const QString &path);
    const TextFormat &fileFormat() const { return m_format; }
    // What a new document starts with.
    void resetFileFormat();

    void SelPrint(QPrinter *printer) { print(printer); }

    // Keys bound by the window's menu: the control gives them up, even those
    // it would use itself (Ctrl+Y, Ctrl+A), and ignores them when the menu
    // item is disabled.
    void reserveShortcuts(const QList<QKeySequence> &keys) { m_reserved = keys; }

signals:
    void Change();
    void SelChange();
    // Shift carries 1 Shift, 2 Ctrl, 4 Alt.
    void KeyDown(int keyCode, int shift);
    void KeyPress(int keyAscii);
    // Something was dropped from outside the control; effect is the copy or
    // link the source will be told, and the handler sets it to IgnoreAction
    // to refuse the drop.
    void OLEDragDrop(const QMimeData *data, Qt::DropAction &effect);

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    static qsizetype lineCount(QStringView text);
    static bool hasRoomFor(qsizetype characters, qsizetype lines);
    bool isOwnDrag(const QDropEvent *event) const;
    bool isReserved(const QKeyEvent *event) const;

    TextFormat m_format;
    QList<QKeySequence> m_reserved;
};
