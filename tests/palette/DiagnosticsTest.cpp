#include "engine/Diagnostics.h"

#include "PaletteTestSupport.h"
#include "engine/PerfMetrics.h"
#include "palette/DiagnosticsOverlay.h"
#include "palette/DiagnosticsText.h"
#include "terminalview/ViewTestSupport.h"

TEST(DiagnosticsText, BytesAndTheExactLayout) {
    const std::vector<std::pair<std::int64_t, QString>> bytes{
        {0, "0 B"}, {1023, "1023 B"}, {1024, "1.0 K"}, {1048575, "1024.0 K"}, {1048576, "1.0 M"}};
    for (const auto& [n, text] : bytes) EXPECT_EQ(diagnostics::formatBytes(n), text) << n;

    PerfMetrics perf(0.0);
    perf.fps = 59.94;
    perf.avgDrawMs = 1.234;
    perf.lastDrawTime = 0.002;
    perf.readBytesPerSec = 1023;
    perf.readsPerSec = 7;
    perf.writeBytesPerSec = 2048;
    perf.writesPerSec = 3;
    EXPECT_EQ(diagnostics::perfText(perf, 80, 24, 1234),
              QStringLiteral(
                  "--- Performance ---\nFPS:          59.9\nDraw avg:     1.23 ms\nLast draw:    2.00 ms\n"
                  "PTY read:     1023 B/s (7 calls/s)\nPTY write:    2.0 K/s (3 calls/s)\n"
                  "Grid:         80x24\nScrollback:   1234 lines"));

    ParserDiagnostics diag;
    diag.totalScalars = 100;
    diag.csiCount = 4;
    diag.oscCount = 3;
    diag.escCount = 2;
    diag.dcsCount = 1;
    const QString head =
        QStringLiteral("--- Parser ---\nTotal scalars: 100\nCSI:           4\nOSC:           3\n"
                       "ESC:           2\nDCS:           1");
    EXPECT_EQ(diagnostics::parserText(diag), head + QStringLiteral("\n\nNo unhandled sequences."));
    for (int i = 0; i < 20; ++i) diag.recordUnhandled("CSI " + std::to_string(i) + " q");
    diag.recordUnhandled("CSI 19 q");
    QString expected = head + QStringLiteral("\n\n--- Unhandled Sequences ---");
    for (int i = 5; i < 20; ++i) expected += QStringLiteral("\n  CSI %1 q  x%2").arg(i).arg(i == 19 ? 2 : 1);
    EXPECT_EQ(diagnostics::parserText(diag), expected);
}

class DiagnosticsPanels : public ViewTest {
protected:
    void SetUp() override {
        ViewTest::SetUp();
        auto owned = std::make_unique<FakePaletteHost>(*defaults);
        palette = owned.get();
        subsystem = std::make_unique<PaletteSubsystem>(std::move(owned));
        palette->window.show();
        view = makeQuietView(QSize(400, 120));
        palette->terminal = view.get();
    }
    void TearDown() override {
        subsystem.reset();
        view.reset();
        ViewTest::TearDown();
    }
    FakePaletteHost* palette = nullptr;
    std::unique_ptr<PaletteSubsystem> subsystem;
    std::unique_ptr<TerminalView> view;
};

TEST_F(DiagnosticsPanels, BothPanelsSitAtTheLowerRightAndShowTheirTerminal) {
    feed(*view, "hello\x1b[?9999h");
    subsystem->togglePerfOverlay();
    subsystem->toggleParserOverlay();
    DiagnosticsOverlay* perf = subsystem->perfOverlay();
    DiagnosticsOverlay* parser = subsystem->parserOverlay();
    ASSERT_TRUE(perf && parser);
    const QWidget* content = palette->content;
    EXPECT_EQ(perf->geometry(), QRect(content->width() - 270, content->height() - 40 - 180, 260, 180));
    EXPECT_EQ(parser->geometry(), QRect(content->width() - 290, content->height() - 40 - 280, 280, 280));
    EXPECT_TRUE(perf->isUpdating());
    palette->content->resize(900, 600);
    EXPECT_EQ(perf->geometry(), QRect(900 - 270, 600 - 40 - 180, 260, 180)) << "it stays in the corner";
    EXPECT_TRUE(perf->text().startsWith(QStringLiteral("--- Performance ---\nFPS:")));
    EXPECT_TRUE(perf->text().contains(
        QStringLiteral("Grid:         %1x%2").arg(view->terminal().cols()).arg(view->terminal().rows())));
    EXPECT_TRUE(parser->text().contains(QStringLiteral("Total scalars: ")));

    // The sampled view closed: the text stays as last written.
    const QString last = parser->text();
    view.reset();
    parser->refreshNow();
    EXPECT_EQ(parser->text(), last);

    subsystem->togglePerfOverlay();
    EXPECT_EQ(subsystem->perfOverlay(), nullptr);
    EXPECT_NE(subsystem->parserOverlay(), nullptr);

    // The end of the program stops the sampling of the panels still open.
    subsystem->stopDiagnosticsOverlays();
    EXPECT_FALSE(subsystem->parserOverlay()->isUpdating());
}

TEST_F(DiagnosticsPanels, NoTabsNoPanelAndAnEditorTabAnEmptyOne) {
    palette->tabs = 0;
    subsystem->togglePerfOverlay();
    EXPECT_EQ(subsystem->perfOverlay(), nullptr);
    palette->tabs = 1;
    palette->terminal = nullptr;
    subsystem->toggleParserOverlay();
    ASSERT_NE(subsystem->parserOverlay(), nullptr);
    EXPECT_EQ(subsystem->parserOverlay()->text(), QString());
}
