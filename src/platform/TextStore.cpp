#include "platform/TextStore.h"

#include <QStringView>

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

// Multi-edit steps above this many edits re-index the lines once at the end
// instead of shifting the index at every edit.
constexpr size_t BulkEdits = 16;

} // namespace

TextStore::TextStore() = default;

void TextStore::load(QString text, LineEnd usualEnd)
{
    const Change change{0, length(), text.size(), 0, lineCount() - 1, 0};
    // The decoder's spare room becomes the gap: typing at the end of a big
    // text then copies nothing. The whole text is copied out only when asked.
    m_buffer = std::move(text);
    m_gapStart = m_buffer.size();
    if (!m_buffer.isDetached())
        m_buffer.detach();
    m_buffer.resize(m_buffer.capacity());
    m_gapEnd = m_buffer.size();
    m_text = QString();
    m_textValid = false;
    m_usualEnd = usualEnd;
    m_otherEnds.clear();
    reindex();
    clearHistory();
    notify(Change{change.position, change.removed, change.inserted, 0, change.linesRemoved,
                  lineCount() - 1});
}

QString TextStore::text() const
{
    if (!m_textValid) {
        m_text = mid(0, length());
        m_textValid = true;
    }
    return m_text;
}

QString TextStore::mid(qsizetype position, qsizetype count) const
{
    position = std::clamp<qsizetype>(position, 0, length());
    count = std::clamp<qsizetype>(count, 0, length() - position);
    if (position + count <= m_gapStart)
        return QString(m_buffer.constData() + position, count);
    if (position >= m_gapStart)
        return QString(m_buffer.constData() + position + gapLength(), count);
    QString out(count, Qt::Uninitialized);
    const qsizetype before = m_gapStart - position;
    std::memcpy(out.data(), m_buffer.constData() + position, size_t(before) * sizeof(QChar));
    std::memcpy(out.data() + before, m_buffer.constData() + m_gapEnd,
                size_t(count - before) * sizeof(QChar));
    return out;
}

qsizetype TextStore::lineLength(qsizetype line) const
{
    const qsizetype end = line + 1 < lineCount() ? lineStart(line + 1) - 1 : length();
    return end - lineStart(line);
}

qsizetype TextStore::lineOf(qsizetype position) const
{
    qsizetype low = 0;
    qsizetype high = lineCount() - 1;
    while (low < high) {
        const qsizetype middle = (low + high + 1) / 2;
        if (lineStart(middle) <= position)
            low = middle;
        else
            high = middle - 1;
    }
    return low;
}

TextStore::LineEnd TextStore::lineEnd(qsizetype line) const
{
    const auto hit = std::lower_bound(m_otherEnds.begin(), m_otherEnds.end(), line,
                                      [](const auto &entry, qsizetype l) { return entry.first < l; });
    return hit != m_otherEnds.end() && hit->first == line ? hit->second : m_usualEnd;
}

void TextStore::setLineEnd(qsizetype line, LineEnd end)
{
    auto hit = std::lower_bound(m_otherEnds.begin(), m_otherEnds.end(), line,
                                [](const auto &entry, qsizetype l) { return entry.first < l; });
    const bool present = hit != m_otherEnds.end() && hit->first == line;
    if (end == m_usualEnd) {
        if (present)
            m_otherEnds.erase(hit);
    } else if (present) {
        hit->second = end;
    } else {
        m_otherEnds.insert(hit, {line, end});
    }
}

std::vector<TextStore::LineEnd> TextStore::endsOf(qsizetype first, qsizetype last) const
{
    std::vector<LineEnd> ends;
    if (m_otherEnds.empty())
        return ends;
    for (qsizetype line = first; line <= last; ++line)
        ends.push_back(lineEnd(line));
    return ends;
}

void TextStore::moveGap(qsizetype position)
{
    QChar *const data = m_buffer.data();
    if (position < m_gapStart) {
        const qsizetype n = m_gapStart - position;
        std::memmove(data + m_gapEnd - n, data + position, size_t(n) * sizeof(QChar));
        m_gapStart -= n;
        m_gapEnd -= n;
    } else if (position > m_gapStart) {
        const qsizetype n = position - m_gapStart;
        std::memmove(data + m_gapStart, data + m_gapEnd, size_t(n) * sizeof(QChar));
        m_gapStart += n;
        m_gapEnd += n;
    }
}

void TextStore::ensureGap(qsizetype needed)
{
    if (gapLength() >= needed)
        return;
    // Room for a good deal of typing, without doubling a big text's memory.
    const qsizetype spare = std::clamp<qsizetype>(length() / 16, 1024, qsizetype(1) << 20);
    const qsizetype after = m_buffer.size() - m_gapEnd;
    QString grown(length() + needed + spare, Qt::Uninitialized);
    std::memcpy(grown.data(), m_buffer.constData(), size_t(m_gapStart) * sizeof(QChar));
    std::memcpy(grown.data() + grown.size() - after, m_buffer.constData() + m_gapEnd,
                size_t(after) * sizeof(QChar));
    m_gapEnd = grown.size() - after;
    m_buffer = std::move(grown);
}

void TextStore::stepTo(qsizetype line)
{
    line = std::min(line, lineCount() - 1);
    if (m_stepDelta != 0) {
        if (line > m_stepLine) {
            for (qsizetype i = m_stepLine + 1; i <= line; ++i)
                m_starts[size_t(i)] += m_stepDelta;
        } else {
            for (qsizetype i = line + 1; i <= m_stepLine; ++i)
                m_starts[size_t(i)] -= m_stepDelta;
        }
    }
    m_stepLine = line;
}

void TextStore::reindex()
{
    m_starts.assign(1, 0);
    m_stepLine = 0;
    m_stepDelta = 0;
    const auto scan = [this](QStringView part, qsizetype offset) {
        for (qsizetype at = part.indexOf(u'\n'); at >= 0; at = part.indexOf(u'\n', at + 1))
            m_starts.push_back(offset + at + 1);
    };
    scan(QStringView(m_buffer.constData(), m_gapStart), 0);
    scan(QStringView(m_buffer.constData() + m_gapEnd, m_buffer.size() - m_gapEnd), m_gapStart);
}

TextStore::Change TextStore::apply(qsizetype position, qsizetype count, const QString &text,
                                   const std::vector<LineEnd> *ends, bool indexLines)
{
    m_text = QString(); // lets the buffer be written without a copy
    m_textValid = false;
    Change change{position, count, text.size(), 0, 0, 0};
    const qsizetype inserted = text.count(u'\n');
    qsizetype lastLine = 0;
    if (indexLines) {
        change.firstLine = lineOf(position);
        lastLine = lineOf(position + count);
        change.linesRemoved = lastLine - change.firstLine;
        change.linesInserted = inserted;
    }
    const bool endsMatter = indexLines
            && (!m_otherEnds.empty() || (ends && !ends->empty()));
    const LineEnd joinedEnd = endsMatter ? lineEnd(lastLine) : m_usualEnd;

    moveGap(position);
    m_gapEnd += count;
    ensureGap(text.size());
    std::memcpy(m_buffer.data() + m_gapStart, text.constData(), size_t(text.size()) * sizeof(QChar));
    m_gapStart += text.size();

    if (!indexLines)
        return change;
    const qsizetype first = change.firstLine;
    stepTo(first);
    m_starts.erase(m_starts.begin() + first + 1, m_starts.begin() + lastLine + 1);
    m_stepDelta += text.size() - count;
    if (inserted > 0) {
        std::vector<qsizetype> starts;
        starts.reserve(size_t(inserted));
        for (qsizetype at = text.indexOf(u'\n'); at >= 0; at = text.indexOf(u'\n', at + 1))
            starts.push_back(position + at + 1 - m_stepDelta);
        m_starts.insert(m_starts.begin() + first + 1, starts.begin(), starts.end());
    }

    if (endsMatter) {
        // The lines an edit leaves take the end of the line they were split
        // from, unless told otherwise (an undo puts the old ones back).
        const auto from = std::lower_bound(m_otherEnds.begin(), m_otherEnds.end(), first,
                                           [](const auto &e, qsizetype l) { return e.first < l; });
        auto to = from;
        while (to != m_otherEnds.end() && to->first <= lastLine)
            ++to;
        const qsizetype shift = inserted - change.linesRemoved;
        for (auto it = to; it != m_otherEnds.end(); ++it)
            it->first += shift;
        std::vector<std::pair<qsizetype, LineEnd>> fresh;
        for (qsizetype i = 0; i <= inserted; ++i) {
            const LineEnd end = ends ? (ends->empty() ? m_usualEnd : (*ends)[size_t(i)])
                                     : joinedEnd;
            if (end != m_usualEnd)
                fresh.emplace_back(first + i, end);
        }
        const auto at = m_otherEnds.erase(from, to);
        m_otherEnds.insert(at, fresh.begin(), fresh.end());
    }
    return change;
}

void TextStore::notify(const Change &change)
{
    if (m_listener)
        m_listener(change);
}

void TextStore::replace(qsizetype position, qsizetype count, const QString &text, EditKind kind)
{
    position = std::clamp<qsizetype>(position, 0, length());
    count = std::clamp<qsizetype>(count, 0, length() - position);
    if (count == 0 && text.isEmpty())
        return;
    Record rec{position, mid(position, count), text, {}};
    if (!m_otherEnds.empty())
        rec.ends = endsOf(lineOf(position), lineOf(position + count));
    const Change change = apply(position, count, text, nullptr);
    if (!(kind == EditKind::Typing && mergeTyping(position, rec.removed, text)))
        record(std::move(rec), kind);
    notify(change);
}

bool TextStore::mergeTyping(qsizetype position, const QString &removed, const QString &text)
{
    if (!m_typingOpen || m_stepDepth > 0 || m_done == 0 || m_done != m_steps.size()
        || m_done == m_cleanStep || !m_steps.back().typing)
        return false;
    Record &last = m_steps.back().records.back();
    const qsizetype lastEnd = last.position + last.inserted.size();
    if (removed.isEmpty() && position == lastEnd) {
        last.inserted += text;
        return true;
    }
    if (!text.isEmpty() || removed.contains(u'\n') || last.removed.contains(u'\n'))
        return false;
    if (position + removed.size() == lastEnd && removed.size() <= last.inserted.size()) {
        last.inserted.chop(removed.size()); // a typo taken back
        return true;
    }
    if (!last.inserted.isEmpty())
        return false;
    if (position + removed.size() == last.position) { // Backspace again
        last.removed.prepend(removed);
        last.position = position;
        return true;
    }
    if (position == last.position) { // Delete again
        last.removed += removed;
        return true;
    }
    return false;
}

void TextStore::record(Record &&rec, EditKind kind)
{
    if (m_stepDepth > 0 && m_stepOpened) {
        m_steps.back().records.push_back(std::move(rec));
        return;
    }
    m_steps.resize(m_done);
    if (m_cleanStep > m_done)
        m_cleanStep = std::numeric_limits<size_t>::max(); // the saved text is gone from history
    Step step;
    step.typing = kind == EditKind::Typing && m_stepDepth == 0;
    m_typingOpen = step.typing;
    step.records.push_back(std::move(rec));
    m_steps.push_back(std::move(step));
    m_done = m_steps.size();
    m_stepOpened = m_stepDepth > 0;
}

void TextStore::beginStep()
{
    if (m_stepDepth++ == 0)
        m_stepOpened = false;
}

void TextStore::endStep()
{
    if (m_stepDepth > 0 && --m_stepDepth == 0)
        m_typingOpen = false;
}

void TextStore::replaceRanges(const QList<QPair<int, int>> &ranges, const QString &text)
{
    if (ranges.isEmpty())
        return;
    const qsizetype oldLength = length();
    const qsizetype oldLines = lineCount();
    bool lines = text.contains(u'\n');
    for (const auto &range : ranges)
        lines = lines || mid(range.first, range.second).contains(u'\n');
    // Lines shifted edit by edit would cost the whole index each time.
    const bool bulk = ranges.size() > qsizetype(BulkEdits) && lines && m_otherEnds.empty();
    const bool quiet = ranges.size() > 1;
    beginStep();
    for (qsizetype i = ranges.size() - 1; i >= 0; --i) {
        const qsizetype position = std::clamp<qsizetype>(ranges[i].first, 0, length());
        const qsizetype count = std::clamp<qsizetype>(ranges[i].second, 0, length() - position);
        if (count == 0 && text.isEmpty())
            continue;
        Record rec{position, mid(position, count), text, {}};
        if (!m_otherEnds.empty())
            rec.ends = endsOf(lineOf(position), lineOf(position + count));
        const Change change = apply(position, count, text, nullptr, !bulk);
        record(std::move(rec), EditKind::Command);
        if (!quiet)
            notify(change);
    }
    endStep();
    if (bulk)
        reindex();
    if (quiet)
        notify(Change{0, oldLength, length(), 0, oldLines - 1, lineCount() - 1});
}

qsizetype TextStore::undo()
{
    if (!canUndo())
        return -1;
    m_typingOpen = false;
    const Step &step = m_steps[--m_done];
    const bool bulk = step.records.size() > BulkEdits && m_otherEnds.empty()
            && std::all_of(step.records.begin(), step.records.end(),
                           [](const Record &rec) { return rec.ends.empty(); });
    const qsizetype oldLength = length();
    const qsizetype oldLines = lineCount();
    qsizetype caret = 0;
    for (auto rec = step.records.rbegin(); rec != step.records.rend(); ++rec) {
        const Change change =
                apply(rec->position, rec->inserted.size(), rec->removed, &rec->ends, !bulk);
        if (step.records.size() == 1)
            notify(change);
        caret = rec->position + rec->removed.size();
    }
    if (bulk)
        reindex();
    if (step.records.size() > 1)
        notify(Change{0, oldLength, length(), 0, oldLines - 1, lineCount() - 1});
    return caret;
}

qsizetype TextStore::redo()
{
    if (!canRedo())
        return -1;
    m_typingOpen = false;
    const Step &step = m_steps[m_done++];
    const bool bulk = step.records.size() > BulkEdits && m_otherEnds.empty();
    const qsizetype oldLength = length();
    const qsizetype oldLines = lineCount();
    qsizetype caret = 0;
    for (const Record &rec : step.records) {
        const Change change = apply(rec.position, rec.removed.size(), rec.inserted, nullptr, !bulk);
        if (step.records.size() == 1)
            notify(change);
        caret = rec.position + rec.inserted.size();
    }
    if (bulk)
        reindex();
    if (step.records.size() > 1)
        notify(Change{0, oldLength, length(), 0, oldLines - 1, lineCount() - 1});
    return caret;
}

void TextStore::clearHistory()
{
    m_steps.clear();
    m_done = 0;
    m_cleanStep = 0;
    m_stepDepth = 0;
    m_typingOpen = false;
}
