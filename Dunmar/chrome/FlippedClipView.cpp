#include "chrome/FlippedClipView.h"

#include <QVBoxLayout>

FlippedClipView::FlippedClipView(QWidget* parent) : QScrollArea(parent) {
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setWidgetResizable(true);
    viewport()->setAutoFillBackground(false);
    setStyleSheet(QStringLiteral("QScrollArea { background: transparent; border: none; }"));
}

void FlippedClipView::setDocument(QWidget* content) {
    // The document sits in a column that fills the viewport; the stretch below it takes the spare
    // height, so a short list starts at the top and a long one scrolls.
    auto* column = new QWidget;
    column->setAutoFillBackground(false);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    if (content) layout->addWidget(content);
    layout->addStretch(1);
    setWidget(column);
    // QScrollArea makes its widget paint the palette's background; the panel's shows through.
    column->setAutoFillBackground(false);
    document_ = content;
}
