#include "platform/RichTextBox.h"

#include "platform/ColorValue.h"
#include "rtf/RtfFontNames.h"
#include "rtf/RtfReader.h"
#include "rtf/RtfUnits.h"
#include "rtf/RtfWriter.h"

#include <QAbstractTextDocumentLayout>
#include <QClipboard>
#include <QDrag>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBoundaryFinder>
#include <QTextDocumentFragment>

namespace {

// Characters of the document that are not text of the note: an image's place
// holder and the marks at the start and end of a frame.
constexpr char16_t kObjectReplacement = 0xFFFC;
constexpr char16_t kFrameStart = 0xFDD0;
constexpr char16_t kFrameEnd = 0xFDD1;

QString familyOf(const QTextCharFormat& format, const QFont& fallback) {
    const QStringList families = format.fontFamilies().toStringList();
    if (!families.isEmpty())
        return families.first();
    return fallback.families().value(0, fallback.family());
}

// The font a character of this format shows in: its own family and size, or the
// document's where it names none.
RichTextBox::FontAt fontOfFormat(const QTextCharFormat& format, const QFont& base) {
    const qreal size = format.fontPointSize();
    return {familyOf(format, base), size > 0 ? size : base.pointSizeF()};
}

const QMimeData* emptyIfNull(const QMimeData* data) {
    static const QMimeData empty;
    return data ? data : &empty;
}

} // namespace

RichTextBox::RichTextBox(QWidget* parent)
    : QTextEdit(parent) {
    setAcceptRichText(true);
    setAutoFillBackground(true);
    setBackColor(m_backColor);
    connect(document(), &QTextDocument::contentsChanged, this, [this] { m_rtf.clear(); });
    connect(document(), &QTextDocument::contentsChanged, this, &RichTextBox::notifyChange);
    connect(this, &QTextEdit::cursorPositionChanged, this, &RichTextBox::notifySelection);
    connect(this, &QTextEdit::selectionChanged, this, &RichTextBox::notifySelection);
}

const QStringList& RichTextBox::rtfMimeTypes() {
    static const QStringList types{QStringLiteral("text/rtf"), QStringLiteral("application/rtf"),
                                   QStringLiteral("text/richtext")};
    return types;
}

QByteArray RichTextBox::textRTF() const {
    const QFont font = document()->defaultFont();
    if (m_rtf.isEmpty() || font != m_rtfFont) {
        m_rtf = RtfWriter::write(*document());
        m_rtfFont = font;
    }
    return m_rtf;
}

void RichTextBox::setTextRTF(QByteArrayView rtf) {
    // A document without a page is not laid out: the content is built and the caret
    // put at its start first (clearing scrolled to the top), then the page comes back
    // and only what shows is laid out now, the rest a step at a time from the event
    // loop.
    const QSizeF page = document()->pageSize();
    document()->setPageSize(QSizeF(0, 0));
    // Nothing of the reading is the user's to undo, even while its change is told.
    replaceContent([&] {
        RtfReader::read(rtf, *document());
        document()->clearUndoRedoStacks();
    });
    setTextCursor(QTextCursor(document()));
    document()->setPageSize(page);
}

void RichTextBox::replaceContent(const std::function<void()>& replace) {
    // One notification for the whole replacement, even when the text stays the same.
    m_replacing = true;
    replace();
    m_replacing = false;
    m_lastText = document()->toRawText();
    chooseWrap(m_lastText);
    emit changed();
}

namespace {

// A run of text with no place to break it longer than this can never fit a line; the
// layout then breaks it anywhere, line by line, instead of searching the whole run
// for a word's end once per line, which costs the square of its length.
constexpr int kLongestUnbrokenRun = 400;

bool hasLongUnbrokenRun(const QString& text) {
    QTextBoundaryFinder breaks(QTextBoundaryFinder::Line, text);
    qsizetype last = 0;
    for (qsizetype at = breaks.toNextBoundary(); at != -1; at = breaks.toNextBoundary()) {
        if (at - last > kLongestUnbrokenRun)
            return true;
        last = at;
    }
    return false;
}

} // namespace

void RichTextBox::chooseWrap(const QString& text) {
    const QTextOption::WrapMode mode =
        hasLongUnbrokenRun(text) ? QTextOption::WrapAnywhere : QTextOption::WrapAtWordBoundaryOrAnywhere;
    if (wordWrapMode() != mode)
        setWordWrapMode(mode);
}

void RichTextBox::notifyChange() {
    // Formatting alone is not a change of the note's text.
    if (m_replacing)
        return;
    QString text = document()->toRawText();
    if (text == m_lastText)
        return;
    chooseWrap(text);
    m_lastText = std::move(text);
    emit changed();
}

QString RichTextBox::text() const {
    QString out;
    const QString raw = document()->toRawText();
    out.reserve(raw.size() + raw.size() / 16);
    for (const QChar ch : raw) {
        switch (ch.unicode()) {
        case QChar::ParagraphSeparator:
        case QChar::LineSeparator:
            out += QStringLiteral("\r\n");
            break;
        case kObjectReplacement:
        case kFrameStart:
        case kFrameEnd:
            break;
        default:
            out += ch;
        }
    }
    // The document always ends with a paragraph separator of its own.
    if (out.endsWith(QStringLiteral("\r\n")))
        out.chop(2);
    return out;
}

void RichTextBox::setText(const QString& text) {
    QString plain = text;
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    replaceContent([&] { setPlainText(plain); });
}

int RichTextBox::textLength() const {
    return document()->characterCount() - 1;
}

void RichTextBox::setBackColor(qint32 colour) {
    m_backColor = colour & 0x00FFFFFF;
    QPalette p = palette();
    const QColor c = ColorValue::toQColor(m_backColor);
    p.setColor(QPalette::Base, c);
    p.setColor(QPalette::Window, c);
    setPalette(p);
    emit backColorChanged();
}

int RichTextBox::selStart() const {
    return textCursor().selectionStart();
}

void RichTextBox::setSelStart(int position) {
    QTextCursor c = textCursor();
    c.setPosition(std::clamp(position, 0, textLength()));
    setTextCursor(c);
}

int RichTextBox::selLength() const {
    const QTextCursor c = textCursor();
    return c.selectionEnd() - c.selectionStart();
}

void RichTextBox::setSelLength(int length) {
    QTextCursor c = textCursor();
    const int start = c.selectionStart();
    c.setPosition(start);
    c.setPosition(std::clamp(start + length, 0, textLength()), QTextCursor::KeepAnchor);
    setTextCursor(c);
}

template <typename T, typename Get>
std::optional<T> RichTextBox::uniformOverSelection(Get get) const {
    const QTextCursor cursor = textCursor();
    if (!cursor.hasSelection())
        return get(cursor.charFormat());
    const int begin = cursor.selectionStart();
    const int end = cursor.selectionEnd();
    std::optional<T> value;
    for (QTextBlock block = document()->findBlock(begin); block.isValid() && block.position() < end;
         block = block.next()) {
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.position() + fragment.length() <= begin || fragment.position() >= end)
                continue;
            const T current = get(fragment.charFormat());
            if (!value)
                value = current;
            else if (*value != current)
                return std::nullopt;
        }
    }
    return value ? value : get(cursor.charFormat());
}

std::optional<QString> RichTextBox::selFontName() const {
    const QFont base = document()->defaultFont();
    return uniformOverSelection<QString>([&](const QTextCharFormat& f) { return familyOf(f, base); });
}

std::optional<qreal> RichTextBox::selFontSize() const {
    const qreal base = document()->defaultFont().pointSizeF();
    return uniformOverSelection<qreal>([&](const QTextCharFormat& f) {
        const qreal size = f.fontPointSize();
        return size > 0 ? size : base;
    });
}

std::optional<bool> RichTextBox::selBold() const {
    return uniformOverSelection<bool>([](const QTextCharFormat& f) { return f.fontWeight() >= QFont::Bold; });
}

std::optional<bool> RichTextBox::selItalic() const {
    return uniformOverSelection<bool>([](const QTextCharFormat& f) { return f.fontItalic(); });
}

std::optional<bool> RichTextBox::selUnderline() const {
    return uniformOverSelection<bool>([](const QTextCharFormat& f) { return f.fontUnderline(); });
}

std::optional<qint32> RichTextBox::selColor() const {
    return uniformOverSelection<qint32>([](const QTextCharFormat& f) {
        // No colour of its own is the automatic colour, black on a note.
        return f.hasProperty(QTextFormat::ForegroundBrush) ? ColorValue::fromQColor(f.foreground().color()) : 0;
    });
}

void RichTextBox::setSelFontName(const QString& name) {
    QTextCharFormat f;
    f.setFontFamilies(RtfFontNames::displayFamilies(name));
    mergeCurrentCharFormat(f);
}

void RichTextBox::setSelFontSize(qreal points) {
    QTextCharFormat f;
    f.setFontPointSize(points);
    mergeCurrentCharFormat(f);
}

void RichTextBox::setSelBold(bool on) {
    QTextCharFormat f;
    f.setFontWeight(on ? QFont::Bold : QFont::Normal);
    mergeCurrentCharFormat(f);
}

void RichTextBox::setSelItalic(bool on) {
    QTextCharFormat f;
    f.setFontItalic(on);
    mergeCurrentCharFormat(f);
}

void RichTextBox::setSelUnderline(bool on) {
    QTextCharFormat f;
    f.setFontUnderline(on);
    mergeCurrentCharFormat(f);
}

void RichTextBox::setSelColor(qint32 colour) {
    QTextCharFormat f;
    f.setForeground(ColorValue::toQColor(colour));
    mergeCurrentCharFormat(f);
}

RichTextBox::FontAt RichTextBox::typingFontAt(int position) const {
    QTextCursor at(document());
    at.setPosition(std::clamp(position, 0, textLength()));
    return fontOfFormat(at.charFormat(), document()->defaultFont());
}

QList<RichTextBox::CaretStop> RichTextBox::caretWalk() const {
    ensureLayout();
    const QFont base = document()->defaultFont();
    const auto fontOf = [&base](const QTextCharFormat& format) { return fontOfFormat(format, base); };
    const int n = textLength();
    QList<CaretStop> stops;
    stops.reserve(n + 1);
    int firstLine = 0;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        const int start = block.position();
        const int end = std::min(start + block.length() - 1, n);
        const QTextLayout* layout = block.layout();
        // The character before a position gives its font; at the start of a block
        // the first character does, and an empty block has its own format.
        QTextBlock::iterator fragment = block.begin();
        FontAt fragmentFont = fragment.atEnd() ? FontAt{} : fontOf(fragment.fragment().charFormat());
        const auto fontOfCharAt = [&](int q) {
            while (!fragment.atEnd() && q >= fragment.fragment().position() + fragment.fragment().length()) {
                ++fragment;
                if (!fragment.atEnd())
                    fragmentFont = fontOf(fragment.fragment().charFormat());
            }
            return fragmentFont;
        };
        const FontAt atStart = block.length() > 1 ? fontOfCharAt(start) : fontOf(block.charFormat());
        // The lines are walked alongside the positions: asking each position for its
        // line searches the lines every time, which a long note pays for many times.
        int lineIndex = 0;
        const int lines = layout->lineCount();
        for (int p = start; p <= end; ++p) {
            while (lineIndex + 1 < lines && p - start >= layout->lineAt(lineIndex + 1).textStart())
                ++lineIndex;
            stops.append({firstLine + lineIndex, p == start ? atStart : fontOfCharAt(p - 1)});
        }
        firstLine += linesOf(block);
    }
    return stops;
}

QList<int> RichTextBox::selTabs() const {
    QList<int> twips;
    const QTextBlock block = document()->findBlock(textCursor().selectionStart());
    for (const QTextOption::Tab& tab : block.blockFormat().tabPositions())
        twips << RtfUnits::toTwips(tab.position);
    return twips;
}

void RichTextBox::setSelTabs(const QList<int>& twips) {
    QList<QTextOption::Tab> tabs;
    for (int t : twips)
        tabs << QTextOption::Tab(RtfUnits::fromTwips(t), QTextOption::LeftTab);
    QTextBlockFormat f;
    f.setTabPositions(tabs);
    textCursor().mergeBlockFormat(f);
}

void RichTextBox::insertRTF(QByteArrayView rtf) {
    QTextCursor c = textCursor();
    RtfReader::insert(rtf, c);
    setTextCursor(c);
}

void RichTextBox::insertText(const QString& text) {
    QString plain = text;
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    textCursor().insertText(plain);
}

void RichTextBox::ensureLayout() const {
    // A hidden box has not been told its width yet; wrap at the width it will show.
    const int width = contentsRect().width() - viewportMargins().left() - viewportMargins().right();
    if (lineWrapMode() == QTextEdit::WidgetWidth && !qFuzzyCompare(document()->textWidth(), qreal(width)))
        document()->setTextWidth(width);
    document()->documentLayout()->documentSize();
}

// Lines are counted from the blocks' own layouts: the document's running line
// numbers (QTextBlock::firstLineNumber) can lag behind a layout done in steps.
int RichTextBox::linesOf(const QTextBlock& block) {
    return std::max(1, block.layout()->lineCount());
}

int RichTextBox::lineCount() const {
    ensureLayout();
    int lines = 0;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next())
        lines += linesOf(block);
    return lines;
}

int RichTextBox::lineFromChar(int position) const {
    ensureLayout();
    if (position < 0)
        position = textCursor().selectionStart();
    position = std::clamp(position, 0, textLength());
    const QTextBlock at = document()->findBlock(position);
    int firstLine = 0;
    for (QTextBlock block = document()->begin(); block.isValid() && block != at; block = block.next())
        firstLine += linesOf(block);
    const QTextLine line = at.layout()->lineForTextPosition(position - at.position());
    return firstLine + (line.isValid() ? line.lineNumber() : 0);
}

qreal RichTextBox::layoutHeight() const {
    ensureLayout();
    return document()->documentLayout()->documentSize().height();
}

void RichTextBox::setTextOffset(int pixels) {
    m_textOffset = pixels;
    applyTextOffset();
}

void RichTextBox::applyTextOffset() {
    // Moving the text down is a margin above the view; moving it up, a scroll.
    setViewportMargins(0, std::max(0, m_textOffset), 0, 0);
    verticalScrollBar()->setValue(std::max(0, -m_textOffset));
}

int RichTextBox::clientHeight() const {
    return contentsRect().height();
}

bool RichTextBox::canUndo() const {
    return document()->isUndoAvailable();
}

void RichTextBox::emptyUndoBuffer() {
    document()->clearUndoRedoStacks();
}

void RichTextBox::deleteSelection() {
    textCursor().removeSelectedText();
}

bool RichTextBox::clipboardHasText() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data && data->hasText();
}

void RichTextBox::setDisplayOnly(bool displayOnly) {
    setReadOnly(displayOnly);
    setTextInteractionFlags(displayOnly ? Qt::NoTextInteraction : Qt::TextEditorInteraction);
    setFocusPolicy(displayOnly ? Qt::NoFocus : Qt::StrongFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents, displayOnly);
    viewport()->setAttribute(Qt::WA_TransparentForMouseEvents, displayOnly);
    setAcceptDrops(!displayOnly);
    setContextMenuPolicy(displayOnly ? Qt::NoContextMenu : Qt::DefaultContextMenu);
    const Qt::ScrollBarPolicy bars = displayOnly ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded;
    setVerticalScrollBarPolicy(bars);
    setHorizontalScrollBarPolicy(displayOnly ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
    setFrameShape(displayOnly ? QFrame::NoFrame : QFrame::StyledPanel);
}

void RichTextBox::startDrag() {
    auto* drag = new QDrag(this);
    auto* data = new QMimeData;
    emit dragStarting(data);
    drag->setMimeData(data);
    const Qt::DropAction action = drag->exec(Qt::CopyAction, Qt::CopyAction);
    emit dragCompleted(action == Qt::CopyAction ? 1 : 0);
}

void RichTextBox::notifySelection() {
    const QTextCursor c = textCursor();
    if (c.anchor() == m_lastAnchor && c.position() == m_lastPosition)
        return;
    m_lastAnchor = c.anchor();
    m_lastPosition = c.position();
    emit selChange();
}

void RichTextBox::keyReleaseEvent(QKeyEvent* event) {
    QTextEdit::keyReleaseEvent(event);
    if (!event->isAutoRepeat())
        emit keyUp(event->key(), event->modifiers());
}

void RichTextBox::mouseReleaseEvent(QMouseEvent* event) {
    QTextEdit::mouseReleaseEvent(event);
    emit mouseUp(event->button(), event->modifiers(), event->position().toPoint());
}

void RichTextBox::focusInEvent(QFocusEvent* event) {
    QTextEdit::focusInEvent(event);
    emit gotFocus();
}

void RichTextBox::focusOutEvent(QFocusEvent* event) {
    QTextEdit::focusOutEvent(event);
    emit lostFocus();
}

// Drops are the program's to handle: the box reports them and inserts nothing.
void RichTextBox::dragEnterEvent(QDragEnterEvent* event) {
    dragMoveEvent(event);
}

void RichTextBox::dragMoveEvent(QDragMoveEvent* event) {
    if (canInsertFromMimeData(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void RichTextBox::dropEvent(QDropEvent* event) {
    event->acceptProposedAction();
    emit dropped(emptyIfNull(event->mimeData()));
}

void RichTextBox::mouseMoveEvent(QMouseEvent* event) {
    // A drag of the selection ends with the button's release, which the drag takes
    // for itself: the box still believes the button is down and would start a second
    // drag at the next motion, one that only the next click anywhere would drop. The
    // box is told of the release instead.
    if ((event->buttons() & Qt::LeftButton) && !(QGuiApplication::mouseButtons() & Qt::LeftButton)) {
        QMouseEvent release(QEvent::MouseButtonRelease, event->position(), event->globalPosition(), Qt::LeftButton,
                            QGuiApplication::mouseButtons(), event->modifiers());
        QTextEdit::mouseReleaseEvent(&release);
        return;
    }
    QTextEdit::mouseMoveEvent(event);
}

QMimeData* RichTextBox::createMimeDataFromSelection() const {
    const QTextDocumentFragment fragment = textCursor().selection();
    QTextDocument selected;
    selected.setDefaultFont(document()->defaultFont());
    QTextCursor(&selected).insertFragment(fragment);
    auto* data = new QMimeData;
    data->setData(QStringLiteral("text/rtf"), RtfWriter::write(selected));
    // Lines end in LF on the clipboard, as every other program here expects.
    data->setText(fragment.toPlainText());
    return data;
}

bool RichTextBox::canInsertFromMimeData(const QMimeData* source) const {
    if (!source)
        return false;
    for (const QString& type : rtfMimeTypes()) {
        if (source->hasFormat(type))
            return true;
    }
    return source->hasText();
}

void RichTextBox::insertFromMimeData(const QMimeData* source) {
    if (!source)
        return;
    for (const QString& type : rtfMimeTypes()) {
        if (source->hasFormat(type)) {
            insertRTF(source->data(type));
            return;
        }
    }
    if (source->hasText())
        insertText(source->text());
}
