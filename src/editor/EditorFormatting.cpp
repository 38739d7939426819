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
    formatBarButton(button)->setChecked(!wasChecked);
    // Formatting is work too: closing the editor must not throw it away unasked.
    setDirty(true);
}

void EditorWindow::formatBarClicked(const QString& key) {
    struct Toggle {
        const char* key;
        QAction* item;
        int button;
        std::optional<bool> (RichTextBox::*get)() const;
        void (RichTextBox::*set)(bool);
    };
    const Toggle toggles[] = {{"太字", m_bold, 2, &RichTextBox::selBold, &RichTextBox::setSelBold},
                              {"斜体", m_italic, 3, &RichTextBox::selItalic, &RichTextBox::setSelItalic},
                              {"下線", m_underline, 4, &RichTextBox::selUnderline, &RichTextBox::setSelUnderline}};
    for (const Toggle& t : toggles) {
        if (key != QString::fromUtf8(t.key))
            continue;
        const bool on = (m_textBox->*t.get)() == std::optional<bool>(false);
        (m_textBox->*t.set)(on);
        t.item->setChecked(on);
        formatBarButton(t.button)->setChecked(on); // a toggle button stays in step with its menu twin
        setDirty(true);
        return;
    }
    if (key == QStringLiteral("文字色")) {
        if (const std::optional<QColor> chosen = m_services.chooseColor(m_dialogColour, this)) {
            m_dialogColour = *chosen;
            m_textBox->setFocus();
            m_textBox->setSelColor(ColorValue::fromQColor(*chosen));
            setDirty(true);
        }
        return;
    }
    setDirty(true);
}

void EditorWindow::fontNameChosen() {
    m_textBox->setSelFontName(m_fontNameBox->currentText());
    setDirty(true);
    if (m_textBox->isVisible())
        m_textBox->setFocus();
}

void EditorWindow::fontSizeChosen() {
    bool ok = false;
    const double size = m_fontSizeBox->currentText().toDouble(&ok);
    if (ok && size > 0)
        m_textBox->setSelFontSize(size);
    setDirty(true);
    if (m_textBox->isVisible())
        m_textBox->setFocus();
}

void EditorWindow::selectionChanged() {
    const std::optional<QString> name = m_textBox->selFontName();
    const std::optional<qreal> size = m_textBox->selFontSize();
    if (!name || !size)
        return;
    // A name or size that the lists lack is shown as text, with nothing chosen.
    const int nameIndex = m_fontNameBox->findText(*name, Qt::MatchExactly | Qt::MatchCaseSensitive);
    m_fontNameBox->setCurrentIndex(nameIndex);
    if (nameIndex < 0)
        m_fontNameBox->setEditText(*name);
    const QString rounded = QString::number(qint64(std::nearbyint(*size)));
    const int sizeIndex = m_fontSizeBox->findText(rounded, Qt::MatchExactly);
    m_fontSizeBox->setCurrentIndex(sizeIndex);
    if (sizeIndex < 0)
        m_fontSizeBox->setEditText(rounded);

    const std::pair<std::optional<bool>, std::pair<QAction*, int>> marks[] = {
        {m_textBox->selBold(), {m_bold, 2}},
        {m_textBox->selItalic(), {m_italic, 3}},
        {m_textBox->selUnderline(), {m_underline, 4}}};
    for (const auto& [value, control] : marks) {
        const bool shown = value != std::optional<bool>(false); // mixed shows as on
        control.first->setChecked(shown);
        formatBarButton(control.second)->setChecked(shown);
    }
}
