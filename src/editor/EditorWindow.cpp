#include "editor/EditorWindow.h"

#include "editor/ApplyQuestion.h"
#include "note/AppState.h"
#include "note/NoteColor.h"
#include "platform/MenuItems.h"
#include "platform/MessageBox.h"
#include "platform/RichTextBox.h"
#include "platform/Twips.h"

#include <QCloseEvent>
#include <QColorDialog>
#include <QComboBox>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QToolBar>

using MenuItems::addItem;

namespace {

QIcon editorIcon(const char* imageKey) {
    return QIcon(QStringLiteral(":/editor/%1.svg").arg(QLatin1String(imageKey)));
}

// A combo box that tells when its list opens and when it loses the focus.
class EditorCombo : public QComboBox {
public:
    std::function<void()> onDropDown;
    std::function<void()> onLostFocus;
    using QComboBox::QComboBox;

protected:
    void showPopup() override {
        if (onDropDown)
            onDropDown();
        QComboBox::showPopup();
    }
    void focusOutEvent(QFocusEvent* event) override {
        QComboBox::focusOutEvent(event);
        if (onLostFocus)
            onLostFocus();
    }
};

std::optional<QColor> chooseWithDialog(const QColor& current, QWidget* parent) {
    QColorDialog dialog(current, parent);
    dialog.setWindowFlags(MessageBox::kDialogFlags);
    if (dialog.exec() != QDialog::Accepted || !dialog.selectedColor().isValid())
        return std::nullopt;
    return dialog.selectedColor();
}

} // namespace

EditorWindow::EditorWindow(AppState& state, Services services)
    : QMainWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                               Qt::MSWindowsFixedSizeDialogHint)
    , m_state(state)
    , m_services(std::move(services)) {
    setObjectName(QStringLiteral("EditorWindow"));
    setWindowTitle(QStringLiteral("ピノラ"));
    if (!m_services.chooseColor)
        m_services.chooseColor = chooseWithDialog;

    buildMenus();
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);
    m_toolArea = new QWidget(client);
    m_toolArea->setObjectName(QStringLiteral("toolArea"));
    m_toolArea->setGeometry(Twips::toPixels(30, 15, 5265, 750));
    buildToolbars();

    m_textBox = new RichTextBox(client);
    m_textBox->setObjectName(QStringLiteral("textBox"));
    m_textBox->setGeometry(Twips::toPixels(45, 840, 5265, 3390));
    m_textBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connectTextBox();

    const QSize clientSize(Twips::toPixelsX(5340), Twips::toPixelsY(4305));
    client->setFixedSize(clientSize);
    setFixedSize(clientSize.width(), clientSize.height() + menuBar()->sizeHint().height());
    reset();
}

EditorWindow::~EditorWindow() = default;

ApplyQuestion* EditorWindow::applyQuestion() const {
    return m_applyQuestion;
}

void EditorWindow::buildMenus() {
    m_fileMenu = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
    m_fileMenu->setObjectName(QStringLiteral("fileMenu"));
    m_createNote = addItem(m_fileMenu, "createNote", QStringLiteral("付箋紙作成(&N)"));
    m_createNote->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    m_exit = addItem(m_fileMenu, "exit", QStringLiteral("終了(&X)"));
    m_exit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    m_editMenu = menuBar()->addMenu(QStringLiteral("編集(&E)"));
    m_editMenu->setObjectName(QStringLiteral("editMenu"));
    m_cut = addItem(m_editMenu, "cut", QStringLiteral("切り取り(&T)  Ctrl+X"));
    m_copy = addItem(m_editMenu, "copy", QStringLiteral("コピー(&C)     Ctrl+C"));
    m_paste = addItem(m_editMenu, "paste", QStringLiteral("貼り付け(&P)  Ctrl+V"));
    m_delete = addItem(m_editMenu, "delete", QStringLiteral("削除(&D)      Del"));
    m_editMenu->addSeparator()->setObjectName(QStringLiteral("editSeparator"));
    m_undo = addItem(m_editMenu, "undo", QStringLiteral("アンドゥ(&U)   Ctrl+Z"));

    m_formatMenu = menuBar()->addMenu(QStringLiteral("書式(&O)"));
    m_formatMenu->setObjectName(QStringLiteral("formatMenu"));
    m_bold = addItem(m_formatMenu, "bold", QStringLiteral("太字"));
    m_italic = addItem(m_formatMenu, "italic", QStringLiteral("斜体"));
    m_underline = addItem(m_formatMenu, "underline", QStringLiteral("下線"));
    m_formatMenu->addSeparator()->setObjectName(QStringLiteral("colourSeparator"));
    m_yellow = addItem(m_formatMenu, "yellow", QStringLiteral("背景色－黄"));
    m_green = addItem(m_formatMenu, "green", QStringLiteral("背景色－緑"));
    m_blue = addItem(m_formatMenu, "blue", QStringLiteral("背景色－青"));
    m_red = addItem(m_formatMenu, "red", QStringLiteral("背景色－赤"));
    m_purple = addItem(m_formatMenu, "purple", QStringLiteral("背景色－紫"));
    m_white = addItem(m_formatMenu, "white", QStringLiteral("背景色－白"));
    for (QAction* a : {m_bold, m_italic, m_underline, m_yellow, m_green, m_blue, m_red, m_purple, m_white})
        a->setCheckable(true);

    connect(m_createNote, &QAction::triggered, this, &EditorWindow::createNote);
    connect(m_exit, &QAction::triggered, this, &EditorWindow::exitRequested);
    connect(m_cut, &QAction::triggered, this, &EditorWindow::cut);
    connect(m_copy, &QAction::triggered, this, &EditorWindow::copy);
    connect(m_paste, &QAction::triggered, this, &EditorWindow::paste);
    connect(m_delete, &QAction::triggered, this, &EditorWindow::deleteSelection);
    connect(m_undo, &QAction::triggered, this, &EditorWindow::undo);
    connect(m_bold, &QAction::triggered, this,
            [this] { toggleFromMenu(m_bold, 2, &RichTextBox::selBold, &RichTextBox::setSelBold); });
    connect(m_italic, &QAction::triggered, this,
            [this] { toggleFromMenu(m_italic, 3, &RichTextBox::selItalic, &RichTextBox::setSelItalic); });
    connect(m_underline, &QAction::triggered, this,
            [this] { toggleFromMenu(m_underline, 4, &RichTextBox::selUnderline, &RichTextBox::setSelUnderline); });
    const std::pair<QAction*, qint32> colours[] = {{m_yellow, NoteColor::Yellow}, {m_green, NoteColor::Green},
                                                   {m_blue, NoteColor::Blue},     {m_red, NoteColor::Red},
                                                   {m_purple, NoteColor::Purple}, {m_white, NoteColor::White}};
    for (const auto& [item, colour] : colours)
        connect(item, &QAction::triggered, this, [this, c = colour] { setNoteColour(c); });
}

void EditorWindow::buildToolbars() {
    m_commandBar = new QToolBar(m_toolArea);
    m_commandBar->setObjectName(QStringLiteral("commandBar"));
    m_commandBar->setIconSize(QSize(16, 16));
    m_commandBar->setGeometry(Twips::toPixels(165, 30, 5010, 330));
    const std::pair<const char*, const char*> buttons1[] = {
        {"付箋紙生成", "Create"}, {nullptr, nullptr},     {"切り取り", "Cut"},    {"コピー", "Copy"},
        {"貼り付け", "Past"},     {"削除", "Delete"},     {"アンドゥ", "Undo"},   {nullptr, nullptr},
        {"背景色黄", "Fusen1"},   {"背景色緑", "Fusen2"}, {"背景色青", "Fusen3"}, {"背景色赤", "Fusen4"},
        {"背景色紫", "Fusen5"},   {"背景色白", "Fusen6"}};
    for (const auto& [key, image] : buttons1) {
        if (!key) {
            m_commandBar->addSeparator();
            m_commandButtons.append(nullptr);
            continue;
        }
        const QString k = QString::fromUtf8(key);
        QAction* a = m_commandBar->addAction(editorIcon(image), k);
        a->setObjectName(QLatin1String(image));
        a->setToolTip(k);
        connect(a, &QAction::triggered, this, [this, k] { commandBarClicked(k); });
        m_commandButtons.append(a);
    }

    m_fontNameBox = new EditorCombo(m_toolArea);
    m_fontNameBox->setObjectName(QStringLiteral("fontNameBox"));
    m_fontNameBox->setEditable(true);
    m_fontNameBox->setInsertPolicy(QComboBox::NoInsert);
    m_fontNameBox->setGeometry(Twips::toPixels(210, 405, 2115, 330));
    m_fontSizeBox = new EditorCombo(m_toolArea);
    m_fontSizeBox->setObjectName(QStringLiteral("fontSizeBox"));
    m_fontSizeBox->setEditable(true);
    m_fontSizeBox->setInsertPolicy(QComboBox::NoInsert);
    m_fontSizeBox->setGeometry(Twips::toPixels(2400, 405, 810, 330));
    for (QComboBox* combo : {m_fontNameBox, m_fontSizeBox}) {
        auto* c = static_cast<EditorCombo*>(combo);
        c->onDropDown = [this, combo] {
            m_droppedDownCombo = combo;
            combo->setFocusPolicy(Qt::StrongFocus);
        };
        c->onLostFocus = [this] { m_droppedDownCombo = nullptr; };
    }
    connect(m_fontNameBox, &QComboBox::activated, this, &EditorWindow::fontNameChosen);
    connect(m_fontSizeBox, &QComboBox::activated, this, &EditorWindow::fontSizeChosen);

    m_formatBar = new QToolBar(m_toolArea);
    m_formatBar->setObjectName(QStringLiteral("formatBar"));
    m_formatBar->setIconSize(QSize(16, 16));
    m_formatBar->setGeometry(Twips::toPixels(3285, 390, 1770, 330));
    const std::pair<const char*, const char*> buttons2[] = {
        {"太字", "Bold"}, {"斜体", "Italic"}, {"下線", "Under"}, {"文字色", "Color"}};
    // Index 1 of this bar is a button without a key or an icon; it is not shown.
    m_formatButtons.append(nullptr);
    for (const auto& [key, image] : buttons2) {
        const QString k = QString::fromUtf8(key);
        QAction* a = m_formatBar->addAction(editorIcon(image), k);
        a->setObjectName(QLatin1String(image));
        a->setToolTip(k);
        a->setCheckable(k != QStringLiteral("文字色"));
        connect(a, &QAction::triggered, this, [this, k] { formatBarClicked(k); });
        m_formatButtons.append(a);
    }
}

QAction* EditorWindow::commandBarButton(int index) const {
    return m_commandButtons.value(index - 1);
}

QAction* EditorWindow::formatBarButton(int index) const {
    return m_formatButtons.value(index - 1);
}

void EditorWindow::connectTextBox() {
    connect(m_textBox, &RichTextBox::changed, this, [this] {
        updateUndoCommand();
        trackChange();
    });
    connect(m_textBox, &RichTextBox::keyUp, this, [this] { updateSelectionCommands(); });
    connect(m_textBox, &RichTextBox::mouseUp, this, [this](Qt::MouseButton button, Qt::KeyboardModifiers, QPoint at) {
        if (button == Qt::RightButton)
            m_editMenu->exec(m_textBox->viewport()->mapToGlobal(at));
        updateSelectionCommands();
    });
    connect(m_textBox, &RichTextBox::selChange, this, &EditorWindow::selectionChanged);
    connect(m_textBox, &RichTextBox::gotFocus, this, &EditorWindow::textBoxFocused);
    connect(m_textBox, &RichTextBox::lostFocus, this, &EditorWindow::textBoxLeft);
    connect(m_textBox, &RichTextBox::dropped, this, &EditorWindow::textDropped);
    // The right button opens the editing menu on release, not the box's own menu.
    m_textBox->setContextMenuPolicy(Qt::NoContextMenu);
}

void EditorWindow::closeEvent(QCloseEvent* event) {
    event->ignore(); // the editor is never destroyed while the program runs
    if (m_state.shuttingDown)
        return;
    if (isDirty()) {
        askToApply(false);
        return;
    }
    hide();
    restoreInputMethod();
}

void EditorWindow::askToApply(bool forExit) {
    if (!m_applyQuestion) {
        m_applyQuestion = new ApplyQuestion(this);
        m_applyQuestion->setAttribute(Qt::WA_DeleteOnClose);
        connect(m_applyQuestion, &ApplyQuestion::answered, this, &EditorWindow::answered);
    }
    m_applyQuestion->setWindowTitle(QStringLiteral("ピノラ") + QStringLiteral("：") + QStringLiteral("動作確認"));
    if (forExit) {
        // An open question from closing the editor becomes the exit's question.
        m_applyQuestion->hide();
        m_applyQuestion->setWindowModality(Qt::ApplicationModal);
        m_applyQuestion->exec();
    } else {
        m_applyQuestion->show();
        m_applyQuestion->raise();
    }
}

void EditorWindow::answered(ApplyQuestion::Answer answer) {
    m_answer = answer;
    QPointer<ApplyQuestion> dialog = m_applyQuestion;
    auto unloadDialog = [&] {
        if (dialog) {
            dialog->done(0);
            dialog->close();
        }
    };
    if (answer == ApplyQuestion::Answer::Cancel) {
        m_state.exitConfirmed = false;
        unloadDialog();
        return;
    }
    if (m_state.exitRequested) {
        m_state.exitConfirmed = true;
        restoreInputMethod();
        unloadDialog();
        hide();
        if (answer == ApplyQuestion::Answer::Apply)
            applyToNote();
        return;
    }
    restoreInputMethod();
    hide();
    if (answer == ApplyQuestion::Answer::Apply)
        applyToNote();
    unloadDialog();
}
