#pragma once

#include <QScrollArea>

// The scroller of the side panels' lists: rows start at the top edge, the document takes the
// viewport's width and its own height, and grows as rows are added.
class FlippedClipView : public QScrollArea {
    Q_OBJECT
public:
    explicit FlippedClipView(QWidget* parent = nullptr);

    // The list to scroll; the view takes it over. Use instead of QScrollArea::setWidget.
    void setDocument(QWidget* content);
    QWidget* document() const { return document_; }

private:
    QWidget* document_ = nullptr;
};
