#pragma once

#include <QDialog>

#include <array>

class QPushButton;

// The apply question: "情報を適用しますか？" with 適用, 破棄 and キャンセル. It has a
// title bar but no close box, so one of the three buttons always answers it.
class ApplyQuestion : public QDialog {
    Q_OBJECT

public:
    enum class Answer { Apply, Discard, Cancel };

    explicit ApplyQuestion(QWidget* parent = nullptr);

    QPushButton* button(Answer answer) const { return m_buttons.at(size_t(answer)); }

signals:
    void answered(Answer answer);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::array<QPushButton*, 3> m_buttons{};
};
