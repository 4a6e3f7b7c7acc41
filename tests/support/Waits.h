#pragma once

// Waits that end on what the test waits for, never on a clock: a test that needs "nothing more
// happens" runs what is already queued, or waits for the very animation or timer that would do it.

#include <QList>

class QObject;

namespace testsupport {

// Runs everything already queued: posted events and queued calls, deferred deletions, ready
// descriptors and timers that are due. What a late second report would need in order to arrive is
// handled before this returns; nothing waits for time to pass.
void drainEvents();

// Whether an animation under `root` (the object itself included) is running. Animations that loop
// for ever never end and do not count.
bool isAnimating(const QObject* root);

// Waits until no animation under any top-level widget or under `roots` runs, then lets the objects
// the ends released be deleted. False when one still runs after `timeoutMs`.
bool waitForAnimationsToEnd(const QList<const QObject*>& roots = {}, int timeoutMs = 10000);

// Waits until a single-shot timer of `ms`, started now, has fired. Timers of the same length that
// were started before it have fired by then, so a test can wait exactly for the program's own
// timer of that length instead of for a guessed time.
bool waitForTimerStartedBefore(int ms);

} // namespace testsupport
