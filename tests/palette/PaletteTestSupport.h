#pragma once

// A stand-in for the application controller as the palette sees it: a real window with a content
// view, a private settings store, and a record of every command the palette asks for.

#include "palette/CommandPaletteView.h"
#include "palette/PaletteHost.h"
#include "palette/PaletteSubsystem.h"
#include "platform/Defaults.h"

#include <QColor>
#include <QLineEdit>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

struct RecordedToast {
    QString badge, text, identifier;
    QColor color;
    double dismissAfter = 0;
};

class FakePaletteHost : public PaletteHost {
public:
    explicit FakePaletteHost(Defaults& defaults) : defaults_(defaults) {
        window.resize(800, 500);
        content = new QWidget(&window);
        content->resize(800, 500);
    }

    QWidget* mainWindow() const override { return const_cast<QWidget*>(&window); }
    QWidget* contentView() const override { return content; }
    bool isWindowVisible() const override { return window.isVisible(); }
    void activateAfterSnap() override { calls << QStringLiteral("activateAfterSnap"); }
    void perform(Action action) override { calls << QString::fromLatin1(actions::name(action)); }
    void toggleHorizont() override { calls << QStringLiteral("toggleHorizont"); }
    void toggleVertical() override { calls << QStringLiteral("toggleVertical"); }
    int tabCount() const override { return tabs; }
    TerminalView* activeTerminalView() const override { return terminal; }
    Defaults& defaults() override { return defaults_; }
    void applySetting(const QString& key, const QVariant& value) override {
        calls << QStringLiteral("applySetting %1").arg(key);
        applied << qMakePair(key, value);
        // What the store held when the setting was applied.
        storedWhenApplied << defaults_.object(key);
    }
    void setCursorStyle(int style) override { calls << QStringLiteral("setCursorStyle %1").arg(style); }
    void manualCheckForUpdate() override { calls << QStringLiteral("manualCheckForUpdate"); }
    void installPendingUpdate() override { calls << QStringLiteral("installPendingUpdate"); }
    std::optional<QString> pendingReleaseTag() const override { return releaseTag; }
    void showToast(const QString& badge, const QString& text, const QColor& color, double dismissAfter,
                   const QString& identifier) override {
        toasts.push_back({badge, text, identifier, color, dismissAfter});
    }

    QWidget window;
    QWidget* content = nullptr;
    QStringList calls;
    QList<QPair<QString, QVariant>> applied;
    QVariantList storedWhenApplied;
    std::vector<RecordedToast> toasts;
    int tabs = 1;
    TerminalView* terminal = nullptr;
    std::optional<QString> releaseTag;

private:
    Defaults& defaults_;
};

// A palette subsystem on a shown window with a private store.
class PaletteTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        defaults = std::make_unique<Defaults>(dir.filePath(QStringLiteral("defaults.json")));
        auto owned = std::make_unique<FakePaletteHost>(*defaults);
        host = owned.get();
        subsystem = std::make_unique<PaletteSubsystem>(std::move(owned));
        host->window.show();
    }
    void TearDown() override { subsystem.reset(); }

    // Opens the palette and returns it.
    CommandPaletteView* open() {
        subsystem->toggleCommandPalette();
        CommandPaletteView* palette = subsystem->commandPalette();
        EXPECT_NE(palette, nullptr);
        return palette;
    }
    void type(const QString& text) { QTest::keyClicks(subsystem->commandPalette()->searchField(), text); }
    void press(Qt::Key key) { QTest::keyClick(subsystem->commandPalette()->searchField(), key); }
    // Waits until the palette's closing fade has ended.
    bool waitClosed() {
        return QTest::qWaitFor([&] { return subsystem->commandPalette() == nullptr; }, 5000);
    }
    QStringList filteredTitles() const {
        QStringList titles;
        for (const PaletteCommand& c : subsystem->commandPalette()->filtered()) titles << c.title;
        return titles;
    }

    QTemporaryDir dir;
    std::unique_ptr<Defaults> defaults;
    FakePaletteHost* host = nullptr;
    std::unique_ptr<PaletteSubsystem> subsystem;
};
