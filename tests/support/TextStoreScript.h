#pragma once

// Drives a TextStore and a plain model (a QString and one line end a line)
// through the same edits read from bytes, and checks after each that they
// agree: text, line index, line ends, search, undo and redo, and that the
// change reports let a view follow the line lengths. Shared by the property
// test and the fuzz target.
#include "platform/TextStore.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

namespace TextStoreScript {

using LineEnd = TextFormat::LineEnd;
using Require = std::function<void(bool, const char *)>;

struct State
{
    QString text;
    std::vector<LineEnd> ends;
    bool operator==(const State &o) const { return text == o.text && ends == o.ends; }
};

class Bytes
{
public:
    Bytes(const uint8_t *data, size_t size) : m_data(data), m_size(size) {}
    bool done() const { return m_at >= m_size; }
    uint32_t next() { return m_at < m_size ? m_data[m_at++] : 0; }
    qsizetype below(qsizetype n) { return n <= 0 ? 0 : qsizetype((next() << 8 | next()) % n); }

private:
    const uint8_t *m_data;
    size_t m_size;
    size_t m_at = 0;
};

inline QString pieceOf(Bytes &in)
{
    // Line breaks, a surrogate pair, and characters a rich-text engine would eat.
    static const char16_t alphabet[] = {u'a', u'b', u' ', u'\n', u'é', 0x2029, 0xFDD0, 0xFDD1,
                                        0xD83D, 0xDE00, u'\t', u'A'};
    QString s;
    const qsizetype n = in.below(6);
    for (qsizetype i = 0; i < n; ++i)
        s += QChar(alphabet[in.next() % std::size(alphabet)]);
    return s;
}

inline State stateOf(const TextStore &store)
{
    State state{store.text(), {}};
    for (qsizetype line = 0; line < store.lineCount(); ++line)
        state.ends.push_back(store.lineEnd(line));
    return state;
}

// The model's edit: the lines left take the end of the line they were split from.
inline void replaceIn(State &state, qsizetype at, qsizetype count, const QString &with)
{
    const qsizetype first = state.text.left(at).count(u'\n');
    const qsizetype last = first + state.text.mid(at, count).count(u'\n');
    const LineEnd kept = state.ends[size_t(last)];
    state.ends.erase(state.ends.begin() + first, state.ends.begin() + last + 1);
    state.ends.insert(state.ends.begin() + first, size_t(with.count(u'\n') + 1), kept);
    state.text.replace(at, count, with);
}

inline void check(const TextStore &store, const State &model, const std::vector<qsizetype> &followed,
                  Bytes &in, const Require &require)
{
    require(store.text() == model.text, "text");
    require(store.length() == model.text.size(), "length");
    require(store.lineCount() == qsizetype(model.ends.size()), "line count");
    qsizetype start = 0;
    for (qsizetype line = 0; line < store.lineCount(); ++line) {
        require(store.lineStart(line) == start, "line start");
        const qsizetype stop = model.text.indexOf(u'\n', start);
        const qsizetype length = (stop < 0 ? model.text.size() : stop) - start;
        require(store.lineLength(line) == length, "line length");
        require(followed[size_t(line)] == length, "changes reported let lines be followed");
        require(store.lineEnd(line) == model.ends[size_t(line)], "line end");
        start += length + 1;
    }
    const qsizetype at = in.below(model.text.size() + 1);
    require(store.lineOf(at) == model.text.left(at).count(u'\n'), "line of a position");
    const qsizetype count = in.below(model.text.size() - at + 1);
    require(store.mid(at, count) == model.text.mid(at, count), "part of the text");
}

inline void run(const uint8_t *data, size_t size, const Require &require)
{
    Bytes in(data, size);
    TextStore store;
    std::vector<qsizetype> followed{0};
    store.setChangeListener([&](const TextStore::Change &c) {
        followed.erase(followed.begin() + c.firstLine,
                       followed.begin() + c.firstLine + c.linesRemoved + 1);
        for (qsizetype i = 0; i <= c.linesInserted; ++i)
            followed.insert(followed.begin() + c.firstLine + i, store.lineLength(c.firstLine + i));
    });
    // Each step's state; undo and redo must land on one of them.
    std::vector<State> history{stateOf(store)};
    size_t current = 0;
    bool inStep = false;
    bool stepEdited = false;
    const auto edited = [&] {
        if (inStep && stepEdited) {
            history.back() = stateOf(store);
            return;
        }
        history.resize(current + 1);
        history.push_back(stateOf(store));
        ++current;
        stepEdited = inStep;
    };
    State model = history.front();
    while (!in.done()) {
        const uint32_t op = in.next() % 10;
        const qsizetype at = in.below(model.text.size() + 1);
        const qsizetype count = in.below(std::min<qsizetype>(model.text.size() - at, 8) + 1);
        if (op <= 3) {
            const QString with = op == 0 ? QString() : pieceOf(in);
            if (count == 0 && with.isEmpty())
                continue;
            store.replace(at, count, with,
                          op == 3 ? TextStore::EditKind::Typing : TextStore::EditKind::Command);
            replaceIn(model, at, count, with);
            edited();
        } else if (op == 4 || op == 5) {
            const bool undo = op == 4;
            if (inStep || !(undo ? store.canUndo() : store.canRedo()))
                continue;
            const qsizetype caret = undo ? store.undo() : store.redo();
            require(caret >= 0 && caret <= store.length(), "undo and redo put the caret in the text");
            model = stateOf(store);
            // The nearest matching state, so that the others stay reachable.
            bool found = false;
            if (undo) {
                for (size_t j = current; j-- > 0 && !found;)
                    found = history[j] == model && (current = j, true);
            } else {
                for (size_t j = current + 1; j < history.size() && !found; ++j)
                    found = history[j] == model && (current = j, true);
            }
            require(found, undo ? "undo goes back to an earlier text" : "redo goes forward to a later text");
        } else if (op == 6) {
            QList<QPair<int, int>> ranges;
            bool removes = false;
            for (qsizetype from = 0; from < model.text.size() && (in.next() & 3) != 0;) {
                const qsizetype start = from + in.below(std::min<qsizetype>(model.text.size() - from, 6));
                const qsizetype length = in.below(std::min<qsizetype>(model.text.size() - start, 3) + 1);
                ranges.append({int(start), int(length)});
                removes = removes || length > 0;
                from = start + length + 1;
            }
            const QString with = pieceOf(in);
            store.replaceRanges(ranges, with);
            for (qsizetype i = ranges.size() - 1; i >= 0; --i)
                replaceIn(model, ranges[i].first, ranges[i].second, with);
            if (!ranges.isEmpty() && (removes || !with.isEmpty()))
                edited();
        } else if (op == 7) {
            // A file read with mixed line ends: not an edit, a fresh history.
            if (inStep)
                continue;
            const qsizetype line = in.below(store.lineCount());
            const auto end = LineEnd(in.next() % 3);
            store.setLineEnd(line, end);
            store.clearHistory();
            model.ends[size_t(line)] = end;
            history.assign(1, model);
            current = 0;
        } else if (op == 8) {
            if (inStep)
                store.endStep();
            else
                store.beginStep();
            inStep = !inStep;
            stepEdited = false;
        } else {
            store.closeTyping();
        }
        check(store, model, followed, in, require);
    }
    if (inStep)
        store.endStep();
    // All the way back, then all the way forward.
    while (store.canUndo())
        store.undo();
    require(stateOf(store) == history.front(), "undoing everything gives the first text back");
    while (store.canRedo())
        store.redo();
    require(stateOf(store) == history.back(), "redoing everything gives the last text back");
}

} // namespace TextStoreScript
