#pragma once

#include "chrome/DictationControl.h"

// Counts what a trigger asks of the manager.
class CountingControl final : public DictationControl {
public:
    DictationState state() const override { return {}; }
    void start() override { ++starts; }
    void stopAndCommit() override { ++stops; }
    int starts = 0;
    int stops = 0;
};
