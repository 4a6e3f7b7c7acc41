#include "git/GitPanelStyle.h"

#include <QFontDatabase>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>

namespace gitstyle {

QString css(const QColor& c) {
    return QStringLiteral("rgba(%1,%2,%3,%4)").arg(c.red()).arg(c.green()).arg(c.blue()).arg(c.alphaF());
}

QFont systemFont(double points, QFont::Weight weight) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSizeF(points);
    font.setWeight(weight);
    return font;
}

QFont monoFont(double points, QFont::Weight weight) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(points);
    font.setWeight(weight);
    return font;
}

void setLabelColor(QLabel* label, const QColor& color) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::Text, color);
    label->setPalette(palette);
}

QLabel* label(double points, QFont::Weight weight, const QColor& color, QWidget* parent, bool mono) {
    auto* l = new QLabel(parent);
    l->setFont(mono ? monoFont(points, weight) : systemFont(points, weight));
    l->setTextFormat(Qt::PlainText);
    setLabelColor(l, color);
    return l;
}

QLabel* wrappingLabel(double points, QFont::Weight weight, const QColor& color, QWidget* parent) {
    QLabel* l = label(points, weight, color, parent);
    l->setWordWrap(true);
    l->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    return l;
}

namespace {

void styleButton(QPushButton* b, const QColor& tint, const QColor& background, int radius) {
    b->setStyleSheet(
        QStringLiteral("QPushButton { color: %1; background: %2; border: none; border-radius: %3px;"
                       " padding: 0 8px; }"
                       "QPushButton:disabled { color: %4; }")
            .arg(css(tint), css(background))
            .arg(radius)
            .arg(css(withAlpha(tint, tint.alphaF() * 0.45))));
    b->setProperty("tint", tint);
}

} // namespace

QPushButton* tintedButton(const QString& title, double points, QFont::Weight weight, const QColor& tint,
                          double backgroundAlpha, QWidget* parent) {
    auto* b = new QPushButton(title, parent);
    b->setFont(systemFont(points, weight));
    b->setCursor(Qt::PointingHandCursor);
    styleButton(b, tint, withAlpha(tint, backgroundAlpha), 6);
    return b;
}

QPushButton* borderlessButton(const QString& title, double points, QFont::Weight weight, const QColor& tint,
                              QWidget* parent) {
    auto* b = new QPushButton(title, parent);
    b->setFont(systemFont(points, weight));
    b->setFlat(true);
    b->setCursor(Qt::PointingHandCursor);
    styleButton(b, tint, Qt::transparent, 0);
    b->setStyleSheet(
        b->styleSheet().replace(QStringLiteral("padding: 0 8px"), QStringLiteral("padding: 0 2px")));
    return b;
}

void setButtonTint(QPushButton* button, const QColor& tint) {
    QString sheet = button->styleSheet();
    const QColor old = button->property("tint").value<QColor>();
    sheet.replace(QStringLiteral("color: ") + css(old) + QLatin1Char(';'),
                  QStringLiteral("color: ") + css(tint) + QLatin1Char(';'));
    button->setStyleSheet(sheet);
    button->setProperty("tint", tint);
}

void setHeading(QLabel* label, const QString& text) {
    QFont font = systemFont(9.5, QFont::DemiBold);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 1.5);
    label->setFont(font);
    setLabelColor(label, kHeading);
    label->setText(text);
}

} // namespace gitstyle

GitCard::GitCard(const QColor& background, QWidget* parent, double radius)
    : QWidget(parent), background_(background), radius_(radius) {}

void GitCard::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.addRoundedRect(QRectF(rect()), radius_, radius_);
    p.fillPath(path, background_);
}
