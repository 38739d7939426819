#pragma once

#include "editor/ApplyQuestion.h"

#include <QColor>
#include <QMainWindow>
#include <QPointer>

#include <array>
#include <functional>
#include <optional>

struct AppState;
class NoteWindow;
class InputMethod;
class QMimeData;
class QAction;
class QComboBox;
class QMenu;
class QToolBar;
class RichTextBox;

// The one editor in which notes are written. It is created once, then only shown
// and hidden; closing it hides it (asking first when it holds changes).
class EditorWindow : public QMainWindow {
    Q_OBJECT

public:
    struct Services {
        // The colour dialog: the chosen colour, or nothing when cancelled.
        std::function<std::optional<QColor>(const QColor& current, QWidget* parent)> chooseColor;
        InputMethod* inputMethod = nullptr; // nothing: no input method
    };

    EditorWindow(AppState& state, Services services);
    ~EditorWindow() override;

    RichTextBox* textBox() const { return m_textBox; }
    QComboBox* fontNameBox() const { return m_fontNameBox; }
    QComboBox* fontSizeBox() const { return m_fontSizeBox; }

    // The command bar's buttons by their 1-based index (separators are null); the key
    // is each button's text and tool tip. The format bar's the same way.
    QAction* commandBarButton(int index) const;
    QAction* formatBarButton(int index) const;

    // Lifecycle.
    void reset();
    void showEditor();
    void applyToNote();
    void checkColourOf(const NoteWindow& note);
    // Whether the editor holds changes not yet applied to a note.
    bool isDirty() const { return m_dirty; }
    void setDirty(bool dirty) { m_dirty = dirty; }
    // A change of the text counts from the second on after the editor was filled.
    void trackChange();

    // The ways the editor is opened. Opening a note while the editor holds work not
    // yet applied asks first (適用, 破棄 or キャンセル); キャンセル keeps the work.
    void openForEdit(NoteWindow& note);
    void openForNewNote(bool fromNoteMenu); // tray double-click, or the note menu
    void openFromTrayMenu(const std::function<void(QWidget&)>& centre);

    // Commands.
    void cut();
    void copy();
    void paste();
    void deleteSelection();
    void undo();
    void setNoteColour(qint32 colour);
    void updateSelectionCommands();
    void updateUndoCommand();
    void restoreInputMethod();

    // The apply question, shown without waiting (closing the dirty editor) or as
    // the exit's question, which waits; the exit's answer is in ExitConfirmed.
    ApplyQuestion* applyQuestion() const;
    void askToApply(bool forExit);
    // Open with changes, or with the apply question already asked.
    bool holdsUnappliedWork() const;
    // Asks, and waits, when the open editor holds work not yet applied: applied or
    // discarded as answered; false when the user cancelled and the work stays.
    bool settleUnappliedWork();

    // 付箋紙作成 and 終了.
    void createNote();

signals:
    void exitRequested();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void buildToolbars();
    void connectTextBox();
    void commandBarClicked(const QString& key);
    void formatBarClicked(const QString& key);
    void toggleFromMenu(QAction* item, int button, std::optional<bool> (RichTextBox::*get)() const,
                        void (RichTextBox::*set)(bool));
    void fontNameChosen();
    void fontSizeChosen();
    void selectionChanged();
    void textBoxFocused();
    void textBoxLeft();
    void textDropped(const QMimeData* data);
    void answered(ApplyQuestion::Answer answer);
    void checkColourItem(QAction* item);
    // The six colour items of the format menu with their note colours, in menu order.
    std::array<std::pair<qint32, QAction*>, 6> colourItems() const;

    AppState& m_state;
    Services m_services;
    QMenu* m_fileMenu = nullptr;
    QAction* m_createNote = nullptr;
    QAction* m_exit = nullptr;
    QMenu* m_editMenu = nullptr;
    QAction *m_cut = nullptr, *m_copy = nullptr, *m_paste = nullptr, *m_delete = nullptr, *m_undo = nullptr;
    QMenu* m_formatMenu = nullptr;
    QAction *m_bold = nullptr, *m_italic = nullptr, *m_underline = nullptr;
    QAction *m_yellow = nullptr, *m_green = nullptr, *m_blue = nullptr, *m_red = nullptr, *m_purple = nullptr,
            *m_white = nullptr;
    QWidget* m_toolArea = nullptr;
    QToolBar* m_commandBar = nullptr;
    QToolBar* m_formatBar = nullptr;
    QComboBox* m_fontNameBox = nullptr;
    QComboBox* m_fontSizeBox = nullptr;
    RichTextBox* m_textBox = nullptr;

    bool m_dirty = false;
    bool m_changeTrackingArmed = false;
    // The input method's status from before this editing session, and whether it is
    // held: the text box switches the input method on, so a later focus must not
    // take that for the user's.
    bool m_savedImeOpen = false;
    bool m_imeStatusSaved = false;
    QComboBox* m_droppedDownCombo = nullptr;
    QColor m_dialogColour;
    QPointer<ApplyQuestion> m_applyQuestion;
    ApplyQuestion::Answer m_answer = ApplyQuestion::Answer::Cancel; // the last answer to the question
    QList<QAction*> m_commandButtons;                               // index 0 is button 1
    QList<QAction*> m_formatButtons;
};
