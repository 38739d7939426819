#include "editor/ApplyQuestion.h"

#include "platform/Twips.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace {

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption, const QRect& geometry) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setGeometry(geometry);
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}

} // namespace

ApplyQuestion::ApplyQuestion(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("ApplyQuestion"));
    setFixedSize(Twips::toPixelsX(3345), Twips::toPixelsY(1065));
    auto* question = new QLabel(QStringLiteral("情報を適用しますか？"), this);
    question->setObjectName(QStringLiteral("question"));
    question->setGeometry(Twips::toPixels(120, 120, 3105, 255));
    m_buttons = {makeButton(this, "apply", QStringLiteral("適用"), Twips::toPixels(105, 585, 975, 300)),
                 makeButton(this, "discard", QStringLiteral("破棄"), Twips::toPixels(1192, 585, 975, 300)),
                 makeButton(this, "cancel", QStringLiteral("キャンセル"), Twips::toPixels(2280, 585, 975, 300))};
    for (const Answer answer : {Answer::Apply, Answer::Discard, Answer::Cancel})
        connect(button(answer), &QPushButton::clicked, this, [this, answer] { emit answered(answer); });
    setTabOrder(m_buttons[0], m_buttons[1]);
    setTabOrder(m_buttons[1], m_buttons[2]);
}

void ApplyQuestion::keyPressEvent(QKeyEvent* event) {
    // No button is the cancel button: Escape does not close the question.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
