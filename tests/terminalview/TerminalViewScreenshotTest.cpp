// Renders a pane showing a colourful session and saves it in the build folder's "artifacts", for a
// person to look at. These only check that the pictures were written: "Artifact" in their names
// gives them the CTest label `artifacts` (ctest -L artifacts makes the pictures alone).
#include "support/Artifacts.h"
#include "ViewTestSupport.h"
#include "terminalview/SplitContainer.h"

#include <QDir>
#include <QFile>
#include <QLinearGradient>
#include <QPainter>
#include <QTest>

namespace {

QByteArray samples() {
    QByteArray s;
    s += "\x1b[1mStyles\x1b[0m  \x1b[1mbold\x1b[0m \x1b[3mitalic\x1b[0m \x1b[2mdim\x1b[0m "
         "\x1b[4munderline\x1b[0m "
         "\x1b[4:2mdouble\x1b[0m \x1b[4:3;58;2;255;90;90mcurly\x1b[0m \x1b[4:4mdotted\x1b[0m "
         "\x1b[4:5mdashed\x1b[0m "
         "\x1b[9mstrike\x1b[0m \x1b[53moverline\x1b[0m \x1b[7minverse\x1b[0m "
         "\x1b]8;;https://example.org\x1b\\link\x1b]8;;\x1b\\\r\n";
    s += "\x1b[1mColours\x1b[0m ";
    for (int i = 0; i < 8; ++i) s += "\x1b[4" + QByteArray::number(i) + "m  ";
    s += "\x1b[0m ";
    for (int i = 0; i < 8; ++i) s += "\x1b[10" + QByteArray::number(i) + "m  ";
    s += "\x1b[0m ";
    for (int i = 0; i < 8; ++i) s += "\x1b[3" + QByteArray::number(i) + ";1m" + "Aa";
    s += "\x1b[0m\r\n";
    s += "\x1b[1m256    \x1b[0m ";
    for (int i = 16; i < 232; i += 3) s += "\x1b[48;5;" + QByteArray::number(i) + "m ";
    s += "\x1b[0m\r\n";
    s += "\x1b[1mTrue   \x1b[0m ";
    for (int i = 0; i < 72; ++i) {
        const int r = 255 * i / 71, g = 80 + 100 * (71 - i) / 71, b = 255 - 200 * i / 71;
        s += "\x1b[48;2;" + QByteArray::number(r) + ";" + QByteArray::number(g) + ";" +
             QByteArray::number(b) + "m ";
    }
    s += "\x1b[0m\r\n";
    s += "\x1b[1mText   \x1b[0m \xe2\x94\x8c\xe2\x94\x80\xe2\x94\x80\xe2\x94\x90 box  "
         "\xe6\xbc\xa2\xe5\xad\x97 wide  \xce\xbb \xe2\x86\x92 \xe2\x9c\x93  "
         "\x1b[38;2;255;180;80m=> != === <= \x1b[0m\r\n";
    return s;
}

} // namespace

TEST_F(ViewTest, ArtifactScreenshotOfAColourfulSession) {
    pane.fontSize = 13.0;
    QFile profile(home.filePath(".bash_profile"));
    ASSERT_TRUE(profile.open(QIODevice::WriteOnly));
    profile.write("PS1='\\[\\e[1;32m\\]ada@dunmar\\[\\e[0m\\]:\\[\\e[1;34m\\]~/src\\[\\e[0m\\]$ '\n");
    profile.close();
    QFile sampleFile(home.filePath("samples.txt"));
    ASSERT_TRUE(sampleFile.open(QIODevice::WriteOnly));
    sampleFile.write(samples());
    sampleFile.close();

    // The translucent pane over a dark, slightly tinted window background.
    QWidget window;
    window.resize(980, 640);
    QPalette palette;
    QLinearGradient gradient(0, 0, 980, 640);
    gradient.setColorAt(0, QColor(22, 24, 34));
    gradient.setColorAt(1, QColor(16, 24, 32));
    palette.setBrush(QPalette::Window, gradient);
    window.setPalette(palette);
    window.setAutoFillBackground(true);
    auto view = makeView("/bin/bash", QSize(980, 640));
    view->setParent(&window);
    view->setGeometry(window.rect());
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    view->setFocus();

    ASSERT_TRUE(waitForScreen(*view, "ada@dunmar"));
    ASSERT_TRUE(runAndWait(
        *view, "ls --color=always -la /usr/bin | head -22; cat samples.txt; echo done$((6*7))", "done42"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view->isDirty(); }, 5000));
    QImage image(window.size() * 2, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(2.0);
    image.fill(Qt::transparent);
    window.render(&image);
    const QString path = testsupport::artifactsDir() + "/terminal-view.png";
    ASSERT_TRUE(image.save(path));
    EXPECT_TRUE(QFile::exists(path));
}

TEST_F(ViewTest, ArtifactScreenshotOfASplitTab) {
    pane.fontSize = 13.0;
    QWidget window;
    window.resize(980, 420);
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(20, 24, 32));
    window.setPalette(palette);
    window.setAutoFillBackground(true);
    TerminalView* left = makeView("/bin/bash", QSize(980, 420)).release();
    SplitContainer container(window.rect(), left, defaults.get(), &window);
    TerminalView* right = makeView("/bin/bash", QSize(490, 420)).release();
    container.split(true, right);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    right->setFocus();
    ASSERT_TRUE(runAndWait(*left, "ls --color=always -l /usr/share | head -14; echo l$((6*7))", "l42"));
    ASSERT_TRUE(runAndWait(*right, "seq 1 5; echo r$((6*7))", "r42"));
    ASSERT_TRUE(testsupport::waitForAnimationsToEnd()); // the new pane's fade-in
    QImage image(window.size() * 2, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(2.0);
    window.render(&image);
    ASSERT_TRUE(image.save(testsupport::artifactsDir() + "/terminal-split.png"));
}
