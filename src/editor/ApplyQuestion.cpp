#include "editor/ApplyQuestion.h"

#include "platform/Twips.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace {

QPushButton* button(QWidget* parent, const char* name, const QString& caption, const QRect& geometry) {
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
    Label1 = new QLabel(QStringLiteral("情報を適用しますか？"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(Twips::toPixels(120, 120, 3105, 255));
    Command1 = button(this, "Command1", QStringLiteral("適用"), Twips::toPixels(105, 585, 975, 300));
    Command2 = button(this, "Command2", QStringLiteral("破棄"), Twips::toPixels(1192, 585, 975, 300));
    Command3 = button(this, "Command3", QStringLiteral("キャンセル"), Twips::toPixels(2280, 585, 975, 300));
    setTabOrder(Command1, Command2);
    setTabOrder(Command2, Command3);
}

void ApplyQuestion::keyPressEvent(QKeyEvent* event) {
    // No button is the cancel button: Escape does not close the question.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
