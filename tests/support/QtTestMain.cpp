// The main of the Qt test executables: a QApplication on the offscreen platform.
#include <QApplication>
#include <QByteArray>
#include <gtest/gtest.h>

namespace {
QtMessageHandler previousHandler = nullptr;

// The offscreen platform cannot make windows translucent and says so on every change of opacity.
void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.contains(QLatin1String("window opacity")) || message.contains(QLatin1String("setOpacity")))
        return;
    if (previousHandler) previousHandler(type, context, message);
}
} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    previousHandler = qInstallMessageHandler(quietHandler);
    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
