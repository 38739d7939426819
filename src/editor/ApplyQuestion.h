#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The apply question: "情報を適用しますか？" with 適用, 破棄 and キャンセル. It has a
// title bar but no close box, so one of the three buttons always answers it.
class ApplyQuestion : public QDialog {
    Q_OBJECT

public:
    explicit ApplyQuestion(QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QPushButton* Command1 = nullptr; // 適用
    QPushButton* Command2 = nullptr; // 破棄
    QPushButton* Command3 = nullptr; // キャンセル

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
