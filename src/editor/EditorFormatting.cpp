// Character formatting from the menus, the second toolbar and the two lists, and
// the controls following the selection.
#include "editor/EditorWindow.h"
#include "platform/ColorValue.h"
#include "platform/RichTextBox.h"

#include <QComboBox>

#include <cmath>

void EditorWindow::toggleFromMenu(QAction* item, int button, std::optional<bool> (RichTextBox::*get)() const,
                                  void (RichTextBox::*set)(bool)) {
    // The action has already flipped its own check; the mark follows its previous state.
    const bool wasChecked = !item->isChecked();
    (m_textBox->*set)((m_textBox->*get)() == std::optional<bool>(false));
    item->setChecked(!wasChecked);
    toolbar2Button(button)->setChecked(!wasChecked);
    // Formatting is work too: closing the editor must not throw it away unasked.
    SetEditorDirty(1);
}

void EditorWindow::Toolbar2_ButtonClick(const QString& key) {
    struct Toggle {
        const char* key;
        QAction* item;
        int button;
        std::optional<bool> (RichTextBox::*get)() const;
        void (RichTextBox::*set)(bool);
    };
    const Toggle toggles[] = {{"太字", mBold, 2, &RichTextBox::selBold, &RichTextBox::setSelBold},
                              {"斜体", mItalic, 3, &RichTextBox::selItalic, &RichTextBox::setSelItalic},
                              {"下線", mUnder, 4, &RichTextBox::selUnderline, &RichTextBox::setSelUnderline}};
    for (const Toggle& t : toggles) {
        if (key != QString::fromUtf8(t.key))
            continue;
        const bool on = (m_textBox->*t.get)() == std::optional<bool>(false);
        (m_textBox->*t.set)(on);
        t.item->setChecked(on);
        toolbar2Button(t.button)->setChecked(on); // a toggle button stays in step with its menu twin
        SetEditorDirty(1);
        return;
    }
    if (key == QStringLiteral("文字色")) {
        if (const std::optional<QColor> chosen = m_services.chooseColor(dialogColour, this)) {
            dialogColour = *chosen;
            m_textBox->setFocus();
            m_textBox->setSelColor(ColorValue::fromQColor(*chosen));
            SetEditorDirty(1);
        }
        return;
    }
    SetEditorDirty(1);
}

void EditorWindow::Combo1_Click() {
    m_textBox->setSelFontName(Combo1->currentText());
    SetEditorDirty(1);
    if (m_textBox->isVisible())
        m_textBox->setFocus();
}

void EditorWindow::Combo2_Click() {
    bool ok = false;
    const double size = Combo2->currentText().toDouble(&ok);
    if (ok && size > 0)
        m_textBox->setSelFontSize(size);
    SetEditorDirty(1);
    if (m_textBox->isVisible())
        m_textBox->setFocus();
}

void EditorWindow::Rich1_SelChange() {
    const std::optional<QString> name = m_textBox->selFontName();
    const std::optional<qreal> size = m_textBox->selFontSize();
    if (!name || !size)
        return;
    // A name or size that the lists lack is shown as text, with nothing chosen.
    const int nameIndex = Combo1->findText(*name, Qt::MatchExactly | Qt::MatchCaseSensitive);
    Combo1->setCurrentIndex(nameIndex);
    if (nameIndex < 0)
        Combo1->setEditText(*name);
    const QString rounded = QString::number(qint64(std::nearbyint(*size)));
    const int sizeIndex = Combo2->findText(rounded, Qt::MatchExactly);
    Combo2->setCurrentIndex(sizeIndex);
    if (sizeIndex < 0)
        Combo2->setEditText(rounded);

    const std::pair<std::optional<bool>, std::pair<QAction*, int>> marks[] = {
        {m_textBox->selBold(), {mBold, 2}}, {m_textBox->selItalic(), {mItalic, 3}}, {m_textBox->selUnderline(), {mUnder, 4}}};
    for (const auto& [value, control] : marks) {
        const bool shown = value != std::optional<bool>(false); // mixed shows as on
        control.first->setChecked(shown);
        toolbar2Button(control.second)->setChecked(shown);
    }
}
