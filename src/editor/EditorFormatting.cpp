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
    (Rich1->*set)((Rich1->*get)() == std::optional<bool>(false));
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
        const bool on = (Rich1->*t.get)() == std::optional<bool>(false);
        (Rich1->*t.set)(on);
        t.item->setChecked(on);
        toolbar2Button(t.button)->setChecked(on); // a toggle button stays in step with its menu twin
        SetEditorDirty(1);
        return;
    }
    if (key == QStringLiteral("文字色")) {
        if (const std::optional<QColor> chosen = m_services.chooseColor(dialogColour, this)) {
            dialogColour = *chosen;
            Rich1->setFocus();
            Rich1->setSelColor(ColorValue::fromQColor(*chosen));
            SetEditorDirty(1);
        }
        return;
    }
    SetEditorDirty(1);
}

void EditorWindow::Combo1_Click() {
    Rich1->setSelFontName(Combo1->currentText());
    SetEditorDirty(1);
    if (Rich1->isVisible())
        Rich1->setFocus();
}

void EditorWindow::Combo2_Click() {
    bool ok = false;
    const double size = Combo2->currentText().toDouble(&ok);
    if (ok && size > 0)
        Rich1->setSelFontSize(size);
    SetEditorDirty(1);
    if (Rich1->isVisible())
        Rich1->setFocus();
}

void EditorWindow::Rich1_SelChange() {
    const std::optional<QString> name = Rich1->selFontName();
    const std::optional<qreal> size = Rich1->selFontSize();
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
        {Rich1->selBold(), {mBold, 2}}, {Rich1->selItalic(), {mItalic, 3}}, {Rich1->selUnderline(), {mUnder, 4}}};
    for (const auto& [value, control] : marks) {
        const bool shown = value != std::optional<bool>(false); // mixed shows as on
        control.first->setChecked(shown);
        toolbar2Button(control.second)->setChecked(shown);
    }
}
