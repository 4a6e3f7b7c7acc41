#pragma once

#include "settings/SettingsOverlay.h"

#include <QObject>
#include <QPointer>

class Defaults;
class EventHook;
class FooterBarView;
class SettingsApplier;
class SettingsHost;
class QWidget;

// Opens and closes the settings panel over the window's content: it slides out from behind the
// footer, follows the window's width while open, and hands every change the panel reports to the
// applier. Main thread only.
class SettingsPanelController : public QObject {
    Q_OBJECT
public:
    // `store` is what the panel's rows read and write, `host` what the panel asks of the program,
    // `applier` where its changes go. All must outlive the controller.
    SettingsPanelController(Defaults& store, SettingsHost& host, SettingsApplier& applier,
                            QObject* parent = nullptr);
    ~SettingsPanelController() override;

    // The content the panel lies over and the footer it slides out from behind. Until they are
    // given, no panel opens.
    void attach(QWidget* content, FooterBarView* footer);

    void toggle();
    // Slides the panel out above the footer; nothing when it is open (or still closing).
    void show();
    // Fades the panel out and slides it back behind the footer; nothing when none is open.
    void hide();
    bool isOpen() const { return !panel_.isNull(); }
    // The open panel, from its opening until the end of its closing.
    SettingsOverlay* panel() const { return panel_; }

private:
    void watchContentResize(bool watch);
    void resetGear();

    Defaults& store_;
    SettingsHost& host_;
    SettingsApplier& applier_;
    QPointer<QWidget> content_;
    QPointer<FooterBarView> footer_;
    QPointer<SettingsOverlay> panel_;
    QPointer<EventHook> resizeHook_;
};
