#pragma once

#include <QTextEdit>

#include <functional>
#include <optional>

class QMimeData;
class QTextBlock;

// The text box that holds a note: a QTextEdit whose content goes in and out as
// rich-edit RTF. Character positions count one per character and one per line
// break, as the document does. Colours are 0x00BBGGRR values, tab stops twips.
// A selection property that differs across the selection reads as no value; with
// nothing selected it is the format that typing would use.
class RichTextBox : public QTextEdit {
    Q_OBJECT

public:
    explicit RichTextBox(QWidget* parent = nullptr);

    // The whole content as one RTF document. Writing replaces the content, ignores
    // whatever follows the document's closing brace, and takes text that is not RTF
    // as plain text.
    QByteArray textRTF() const;
    void setTextRTF(QByteArrayView rtf);

    // The content without formatting, line breaks CR LF. Writing replaces it.
    QString text() const;
    void setText(const QString& text);
    int textLength() const;

    qint32 backColor() const { return m_backColor; }
    void setBackColor(qint32 colour);

    int selStart() const;
    void setSelStart(int position); // puts the caret there, nothing selected
    int selLength() const;
    void setSelLength(int length); // selects from selStart()

    std::optional<QString> selFontName() const;
    std::optional<qreal> selFontSize() const;
    std::optional<bool> selBold() const;
    std::optional<bool> selItalic() const;
    std::optional<bool> selUnderline() const;
    std::optional<qint32> selColor() const;
    void setSelFontName(const QString& name);
    void setSelFontSize(qreal points);
    void setSelBold(bool on);
    void setSelItalic(bool on);
    void setSelUnderline(bool on);
    void setSelColor(qint32 colour);

    // The font that typing at a caret position would use (the character before it,
    // or the first one at the start of a paragraph), without moving the caret.
    struct FontAt {
        QString name;
        qreal size = 0;
    };
    FontAt typingFontAt(int position) const;

    // lineFromChar and typingFontAt for every caret position from 0 to textLength(),
    // in one pass over the document instead of one cursor per position.
    struct CaretStop {
        int line;
        FontAt font;
    };
    QList<CaretStop> caretWalk() const;

    // The tab stops of the selected paragraphs (of the first, when reading).
    QList<int> selTabs() const;
    void setSelTabs(const QList<int>& twips);

    // In place of the selection, as one undo step.
    void insertRTF(QByteArrayView rtf);
    void insertText(const QString& text);

    // Lines as wrapped at the box's current width; the zero-based line of a
    // position (-1: the caret's).
    int lineCount() const;
    int lineFromChar(int position) const;
    // How high the laid-out content stands, in pixels: every line, the space around
    // paragraphs, tables, lists and pictures, and the document's margins.
    qreal layoutHeight() const;
    // How far the text stands below the top of the box, in pixels; 0 is the top.
    int textOffset() const { return m_textOffset; }
    void setTextOffset(int pixels);
    // The height inside the box's frame, in pixels.
    int clientHeight() const;

    bool canUndo() const;
    void emptyUndoBuffer();
    void deleteSelection();
    static bool clipboardHasText();

    // For note windows: the box only shows the note. It takes no focus, and every
    // mouse event and drop goes to the widget beneath it.
    void setDisplayOnly(bool displayOnly);

    // Starts a drag of the program's own: dragStarting fills the data, and
    // dragCompleted reports the effect (0 none, 1 copy).
    void startDrag();

    static const QStringList& rtfMimeTypes();
    // Inserts dropped or pasted data at the selection: rich text first, then plain
    // text, else nothing.
    void insertMimeData(const QMimeData* source) { insertFromMimeData(source); }

signals:
    // The text changed (formatting alone does not count); every replacement of
    // the whole content reports one change.
    void changed();
    void backColorChanged();
    void keyUp(int key, Qt::KeyboardModifiers modifiers);
    void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, const QPoint& position);
    void selChange();
    void gotFocus();
    void lostFocus();
    void dropped(const QMimeData* data);
    void dragStarting(QMimeData* data);
    void dragCompleted(int effect);

protected:
    void keyReleaseEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    QMimeData* createMimeDataFromSelection() const override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    template <typename T, typename Get>
    std::optional<T> uniformOverSelection(Get get) const;
    void ensureLayout() const;
    static int linesOf(const QTextBlock& block);
    void notifySelection();
    void applyTextOffset();
    void replaceContent(const std::function<void()>& replace);
    void notifyChange();
    void chooseWrap(const QString& text);

    qint32 m_backColor = 0x00FFFFFF;
    int m_textOffset = 0;
    int m_lastAnchor = 0;
    int m_lastPosition = 0;
    bool m_replacing = false;
    QString m_lastText;
    // The RTF last written (never empty), kept until the document or its default
    // font changes: saving rewrites every note, and most of them have not changed.
    mutable QByteArray m_rtf;
    mutable QFont m_rtfFont;
};
