#pragma once

#include "platform/TextFile.h"

#include <QList>
#include <QPair>
#include <QString>

#include <functional>
#include <utility>
#include <vector>

// The editor's text: UTF-16 in a gap buffer with an index of line starts.
// Positions count code units from 0 and a line break is one character
// ('\n'); each line also keeps the line end its file gave it, stored only
// where it differs from the text's usual one. Edits are recorded for undo:
// typing merges, everything else is one step (a step may gather many edits).
class TextStore
{
public:
    using LineEnd = TextFormat::LineEnd;

    // What one edit did, for views that keep layouts of lines: in the text
    // after the edit, lines firstLine .. firstLine + linesInserted replace
    // lines firstLine .. firstLine + linesRemoved of the text before.
    struct Change
    {
        qsizetype position = 0;
        qsizetype removed = 0;
        qsizetype inserted = 0;
        qsizetype firstLine = 0;
        qsizetype linesRemoved = 0;
        qsizetype linesInserted = 0;
    };

    enum class EditKind { Command, Typing };

    TextStore();

    // Takes text (line breaks '\n' only) as the whole content, without
    // copying it. Forgets the undo history.
    void load(QString text, LineEnd usualEnd = TextFormat().lineEnd);

    qsizetype length() const { return m_buffer.size() - gapLength(); }
    QChar at(qsizetype position) const
    {
        return m_buffer.at(position < m_gapStart ? position : position + gapLength());
    }
    // The whole text, kept until the next edit, so repeated calls are free.
    QString text() const;
    QString mid(qsizetype position, qsizetype count) const;

    qsizetype lineCount() const { return qsizetype(m_starts.size()); }
    qsizetype lineStart(qsizetype line) const
    {
        return m_starts[size_t(line)] + (line > m_stepLine ? m_stepDelta : 0);
    }
    // Without its line break.
    qsizetype lineLength(qsizetype line) const;
    qsizetype lineOf(qsizetype position) const;
    QString lineText(qsizetype line) const { return mid(lineStart(line), lineLength(line)); }

    LineEnd usualLineEnd() const { return m_usualEnd; }
    LineEnd lineEnd(qsizetype line) const;
    void setLineEnd(qsizetype line, LineEnd end);
    // The lines whose end differs from the usual one (ascending).
    const std::vector<std::pair<qsizetype, LineEnd>> &otherLineEnds() const { return m_otherEnds; }

    // Replaces count characters at position by text ('\n' breaks lines).
    // Typing merges with the typing just before it into one undo step.
    void replace(qsizetype position, qsizetype count, const QString &text,
                 EditKind kind = EditKind::Command);
    // Each range (start, length; ascending, not overlapping) by text, as one
    // undo step, in time linear in the text.
    void replaceRanges(const QList<QPair<int, int>> &ranges, const QString &text);

    // Edits between these form one undo step; they nest.
    void beginStep();
    void endStep();
    // The next typing starts a step of its own (the caret moved, say).
    void closeTyping() { m_typingOpen = false; }

    bool canUndo() const { return m_done > 0; }
    bool canRedo() const { return m_done < m_steps.size(); }
    // Where the caret goes afterwards, or -1 when there was nothing to do.
    qsizetype undo();
    qsizetype redo();
    void clearHistory();
    // Whether the text differs from the last load.
    bool isModified() const { return m_done != m_cleanStep; }

    // Called after each edit, undo and redo included.
    void setChangeListener(std::function<void(const Change &)> listener)
    {
        m_listener = std::move(listener);
    }

private:
    struct Record
    {
        qsizetype position;
        QString removed;
        QString inserted;
        std::vector<LineEnd> ends; // of the lines removed spanned; empty when all usual
    };
    struct Step
    {
        std::vector<Record> records;
        bool typing = false;
    };

    qsizetype gapLength() const { return m_gapEnd - m_gapStart; }
    void moveGap(qsizetype position);
    void ensureGap(qsizetype needed);
    void stepTo(qsizetype line);
    // The edit itself; ends, when given, are those of the resulting lines.
    Change apply(qsizetype position, qsizetype count, const QString &text,
                 const std::vector<LineEnd> *ends, bool indexLines = true);
    void reindex();
    std::vector<LineEnd> endsOf(qsizetype first, qsizetype last) const;
    void record(Record &&rec, EditKind kind);
    bool mergeTyping(qsizetype position, const QString &removed, const QString &text);
    void notify(const Change &change);

    QString m_buffer;
    qsizetype m_gapStart = 0;
    qsizetype m_gapEnd = 0;
    // Line starts; those after m_stepLine lack m_stepDelta, so that edits
    // close together shift no more than the lines between them.
    std::vector<qsizetype> m_starts{0};
    qsizetype m_stepLine = 0;
    qsizetype m_stepDelta = 0;
    LineEnd m_usualEnd = TextFormat().lineEnd;
    std::vector<std::pair<qsizetype, LineEnd>> m_otherEnds;

    std::vector<Step> m_steps;
    size_t m_done = 0;
    size_t m_cleanStep = 0;
    int m_stepDepth = 0;
    bool m_stepOpened = false;
    bool m_typingOpen = false;

    mutable QString m_text;
    mutable bool m_textValid = true;
    std::function<void(const Change &)> m_listener;
};
