#include "note/FindNotesWindow.h"

#include "note/AppState.h"
#include "note/ColorSwatch.h"
#include "note/NoteLayout.h"
#include "note/NoteWindow.h"
#include "platform/RichTextBox.h"
#include "platform/Twips.h"
#include "platform/WindowKeys.h"
#include "store/NoteFile.h"
#include "store/Tag.h"

#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

QString FoldForSearch(const QString& text) {
    // NFKC makes full-width letters and digits ASCII and half-width katakana full-width.
    QString folded = text.normalized(QString::NormalizationForm_KC).toCaseFolded();
    for (QChar& c : folded) {
        const char16_t u = c.unicode();
        if (u >= 0x30A1 && u <= 0x30F6) // katakana ァ..ヶ → hiragana ぁ..ゖ
            c = QChar(char16_t(u - 0x60));
    }
    return folded;
}

QList<NoteWindow*> FindNotes(const AppState& state, const QString& typed) {
    QList<NoteWindow*> found;
    const QString wanted = FoldForSearch(typed.trimmed());
    if (wanted.isEmpty())
        return found;
    for (qint32 i = 1; i <= state.noteCount && i <= NoteFile::kMaxNotes; ++i) {
        NoteWindow* note = state.liveNote(i);
        if (note && FoldForSearch(note->textBox()->text()).contains(wanted))
            found << note;
    }
    return found;
}

FindNotesWindow::FindNotesWindow(AppState& state)
    : QWidget(nullptr, Qt::Window)
    , m_state(state) {
    setObjectName(QStringLiteral("FindNotesWindow"));
    setWindowTitle(QStringLiteral("ピノラ：付箋紙を探す"));
    m_searchField = new QLineEdit(this);
    m_searchField->setObjectName(QStringLiteral("searchField"));
    m_searchField->setPlaceholderText(QStringLiteral("探す言葉"));
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("list"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_searchField);
    layout->addWidget(m_list);
    resize(360, 320);
    WindowKeys::closeOnEscape(*this);
    connect(m_searchField, &QLineEdit::textChanged, this, &FindNotesWindow::search);
    connect(m_searchField, &QLineEdit::returnPressed, this, [this] {
        if (m_list->count() > 0) {
            m_list->setCurrentRow(0);
            showChosen();
        }
    });
    connect(m_list, &QListWidget::itemActivated, this, &FindNotesWindow::showChosen);
    connect(m_list, &QListWidget::itemClicked, this, &FindNotesWindow::showChosen);
}

void FindNotesWindow::showFinder() {
    search();
    Twips::showCentredInFront(*this);
    m_searchField->setFocus();
    m_searchField->selectAll();
}

void FindNotesWindow::search() {
    m_list->clear();
    for (NoteWindow* note : FindNotes(m_state, m_searchField->text())) {
        const QString text = note->textBox()->text();
        QString line = text.section(QLatin1Char('\r'), 0, 0).section(QLatin1Char('\n'), 0, 0).trimmed();
        if (!Tag::GetTagFlag(note->tag(), Tag::kVisibleFlag))
            line += QStringLiteral("（非表示）");
        else if (!note->isVisible())
            line += QStringLiteral("（一時的に非表示）");
        auto* item = new QListWidgetItem(ColorSwatch(note->textBox()->backColor()), line, m_list);
        item->setData(Qt::UserRole, Tag::NoteIdOf(note->tag()));
    }
}

void FindNotesWindow::showChosen() {
    const QListWidgetItem* item = m_list->currentItem();
    NoteWindow* note = item ? m_state.liveNote(item->data(Qt::UserRole).toInt()) : nullptr;
    if (!note)
        return;
    QString tag = note->tag();
    const bool hidden = !Tag::GetTagFlag(tag, Tag::kVisibleFlag);
    Tag::SetTagFlag(tag, Tag::kVisibleFlag, true);
    note->setTag(tag);
    ShowNote(*note);
    ForceForeground(*note);
    if (hidden)
        SaveAllNotes(m_state);
    search();
}
