#pragma once

#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

// A sentence in the middle of a list, saying why the list is empty; hidden until
// shown.
inline QLabel* AddListNotice(QListWidget& list, const QString& text = {}) {
    auto* notice = new QLabel(text, list.viewport());
    notice->setWordWrap(true);
    notice->setAlignment(Qt::AlignCenter);
    // Laid out in the list's viewport, so that it has the viewport's size once the window is shown.
    auto* inList = new QVBoxLayout(list.viewport());
    inList->setContentsMargins(8, 8, 8, 8);
    inList->addWidget(notice);
    notice->hide();
    return notice;
}
