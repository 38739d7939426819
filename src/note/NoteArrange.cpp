#include "note/NoteArrange.h"

#include "note/AppState.h"
#include "note/NoteWindow.h"
#include "platform/Twips.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace NoteArrange {

namespace {

constexpr qint32 kMax = std::numeric_limits<qint16>::max();
constexpr qint32 kMin = std::numeric_limits<qint16>::min();
constexpr qint32 kRowGap = 50;
constexpr qint32 kColumnGap = 20;

// Rounded to the nearest integer, halves to even, and held to the 16-bit range
// that placements are computed in.
qint32 round16(double twips) {
    if (!std::isfinite(twips))
        return 0;
    return qint32(std::clamp(std::nearbyint(twips), double(kMin), double(kMax)));
}

qint32 rightOf(const Box& b) {
    return round16(b.twips.width() + b.twips.left());
}

qint32 bottomOf(const Box& b) {
    return round16(b.twips.height() + b.twips.top());
}

bool within(double value, double from, double to) {
    return value >= from && value <= to;
}

} // namespace

bool LiesBelow(const Box& p, const Box& q) {
    const bool inColumn =
        within(p.twips.left(), q.twips.left(), rightOf(q)) || within(rightOf(p), q.twips.left(), rightOf(q));
    return inColumn && p.twips.top() > q.twips.top() && p.tag != q.tag;
}

bool LiesRightOf(const Box& p, const Box& q) {
    const bool inRow =
        within(p.twips.top(), q.twips.top(), bottomOf(q)) || within(bottomOf(p), q.twips.top(), bottomOf(q));
    return inRow && p.twips.left() > q.twips.left() && p.tag != q.tag;
}

void SortPlacementList(QList<PlacementEntry>& list, qint16 low, qint16 high) {
    const qint16 pivot = list.at(qint16((low + high) / 2)).key;
    qint32 i = low;
    qint32 j = high;
    for (;;) {
        while (list.at(i).key < pivot)
            ++i;
        while (pivot < list.at(j).key)
            --j;
        if (i >= j)
            break;
        std::swap(list[i], list[j]);
        ++i;
        --j;
    }
    if (low < i - 1)
        SortPlacementList(list, low, qint16(i - 1));
    if (j + 1 < high)
        SortPlacementList(list, qint16(j + 1), high);
}

namespace {

// Sorts the chosen notes and lines them up from start, each gap after the far
// edge of the one before it, along the axis that vertical says.
QList<Move> lineUp(const QList<std::optional<Box>>& notes, QList<PlacementEntry> list, const Box& anchor,
                   bool vertical) {
    QList<Move> moves;
    if (list.isEmpty())
        return moves;
    SortPlacementList(list, 0, qint16(list.size() - 1));
    qint32 edge = vertical ? bottomOf(anchor) : rightOf(anchor);
    for (const PlacementEntry& entry : std::as_const(list)) {
        const QRectF box = notes.at(entry.noteId)->twips;
        const qint32 start = edge + (vertical ? kColumnGap : kRowGap);
        const double extent = vertical ? box.height() : box.width();
        // Beyond the 16-bit range the line stops; the notes placed so far stay.
        if (start > kMax || std::nearbyint(extent + start) > kMax)
            break;
        moves.append(vertical ? Move{entry.noteId, anchor.twips.left(), double(start)}
                              : Move{entry.noteId, double(start), anchor.twips.top()});
        // The next one goes after this one as its window stands, on whole pixels.
        const double placed =
            vertical ? Twips::fromPixelsY(Twips::toPixelsY(start)) : Twips::fromPixelsX(Twips::toPixelsX(start));
        edge = round16(extent + placed);
    }
    return moves;
}

} // namespace

QList<Move> PlanArrangeLeft(const QList<std::optional<Box>>& notes, const Box& anchor) {
    QList<PlacementEntry> list;
    for (qint32 i = 1; i < notes.size() && list.size() < kMax; ++i) {
        if (notes.at(i) && LiesBelow(*notes.at(i), anchor))
            list.append({qint16(round16(notes.at(i)->twips.top())), i});
    }
    return lineUp(notes, list, anchor, true);
}

QList<Move> PlanArrangeTop(const QList<std::optional<Box>>& notes, const Box& anchor) {
    QList<PlacementEntry> list;
    for (qint32 i = 1; i < notes.size() && list.size() < kMax; ++i) {
        if (!notes.at(i) || !LiesRightOf(*notes.at(i), anchor))
            continue;
        // A note in the column of one chosen before it, lower down, stays out.
        const bool underAChosenNote = std::any_of(list.begin(), list.end(), [&](const PlacementEntry& e) {
            return LiesBelow(*notes.at(i), *notes.at(e.noteId));
        });
        if (!underAChosenNote)
            list.append({qint16(round16(notes.at(i)->twips.left())), i});
    }
    return lineUp(notes, list, anchor, false);
}

namespace {

QList<std::optional<Box>> visibleNotes(const AppState& state) {
    QList<std::optional<Box>> notes(state.noteCount + 1);
    for (qint32 i = 1; i <= state.noteCount; ++i) {
        const NoteWindow* note = state.liveNote(i);
        if (note && note->isVisible())
            notes[i] = Box{note->geometryTwips(), note->tag()};
    }
    return notes;
}

void apply(AppState& state, const QList<Move>& moves) {
    for (const Move& move : moves) {
        if (NoteWindow* note = state.liveNote(move.noteId))
            note->moveTwips(move.left, move.top);
    }
    if (!moves.isEmpty())
        SaveAllNotes(state);
}

} // namespace

void ArrangeLeft(AppState& state, const NoteWindow& anchor) {
    apply(state, PlanArrangeLeft(visibleNotes(state), Box{anchor.geometryTwips(), anchor.tag()}));
}

void ArrangeTop(AppState& state, const NoteWindow& anchor) {
    apply(state, PlanArrangeTop(visibleNotes(state), Box{anchor.geometryTwips(), anchor.tag()}));
}

} // namespace NoteArrange
