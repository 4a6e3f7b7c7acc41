#pragma once

// Pictures the test run leaves for a person to look at, in the build folder's "artifacts".

#include <QImage>
#include <QRect>
#include <QString>

class QWidget;

namespace testsupport {

// The folder, created; beside the test executable when the test runs outside CTest.
QString artifactsDir();

// Draws `area` of the widget (all of it when empty) at twice the resolution, sharp to look at.
QImage snapshot(QWidget* widget, const QRect& area = {});

} // namespace testsupport
