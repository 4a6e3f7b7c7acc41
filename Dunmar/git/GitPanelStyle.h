#pragma once

#include "chrome/ChromeStyle.h"

#include <QColor>
#include <QFont>
#include <QString>
#include <QWidget>

class QLabel;
class QPushButton;

// The git panel's colours and the few ways its labels, buttons and cards are made.
namespace gitstyle {

using chrome::rgb;
using chrome::white;
using chrome::withAlpha;

inline const QColor kPanelBackground = white(0.06, 0.85);
inline const QColor kHeaderCardBackground = white(1.0, 0.05);
inline const QColor kCardBackground = white(1.0, 0.04);
inline const QColor kGreen = rgb(0.45, 0.85, 0.55);
inline const QColor kBlue = rgb(0.5, 0.78, 1.0);
inline const QColor kAmber = rgb(0.95, 0.75, 0.35);
inline const QColor kGithubCardBackground = rgb(0.12, 0.14, 0.22, 0.7);
inline const QColor kHeading = white(0.35);
inline const QColor kStatusChanges = rgb(0.95, 0.75, 0.3);
inline const QColor kStatusAllSaved = rgb(0.4, 0.8, 0.5);
inline const QColor kStatusNoTracking = white(0.4);
inline const QColor kFeedbackSuccess = rgb(0.4, 0.85, 0.5);
inline const QColor kFeedbackFailure = rgb(1.0, 0.4, 0.4);
inline const QColor kUndoConfirm = rgb(1.0, 0.35, 0.35);

// "rgba(...)" for a style sheet.
QString css(const QColor& c);

QFont systemFont(double points, QFont::Weight weight = QFont::Normal);
QFont monoFont(double points, QFont::Weight weight = QFont::Normal);

// A plain label: no frame, no background, the given font and colour.
QLabel* label(double points, QFont::Weight weight, const QColor& color, QWidget* parent = nullptr,
              bool mono = false);
// A label that wraps its words over as many lines as it needs.
QLabel* wrappingLabel(double points, QFont::Weight weight, const QColor& color, QWidget* parent = nullptr);
void setLabelColor(QLabel* label, const QColor& color);

// A filled, rounded button: text in `tint`, background `tint` at `backgroundAlpha`.
QPushButton* tintedButton(const QString& title, double points, QFont::Weight weight, const QColor& tint,
                          double backgroundAlpha, QWidget* parent = nullptr);
// A button with no frame and no background.
QPushButton* borderlessButton(const QString& title, double points, QFont::Weight weight, const QColor& tint,
                              QWidget* parent = nullptr);
void setButtonTint(QPushButton* button, const QColor& tint);

// The small caps headings of the cards ("CHANGED FILES"): 9.5 pt semibold, spaced out.
void setHeading(QLabel* label, const QString& text);

} // namespace gitstyle

// A card of the panel: a rounded rectangle of one colour behind its contents.
class GitCard : public QWidget {
public:
    GitCard(const QColor& background, QWidget* parent = nullptr, double radius = 10);
    QColor background() const { return background_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor background_;
    double radius_;
};
