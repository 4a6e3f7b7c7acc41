#pragma once

#include <QRect>

class ToastService;
class QWidget;

// The toast that shows how far an update's download has got: a blue badge with the percentage,
// "Downloading update…", and a thin bar along its bottom edge. It replaces the update toast and
// the search toast, has no time-out, and goes when the download ends either way.
namespace downloadprogress {

inline constexpr int kToastHeight = 48;
inline constexpr int kFadeInMs = 150;
inline constexpr int kFadeOutMs = 300;

// Shows the toast at `fraction` (0 to 1) in the toast service's host, or updates the one on show:
// then only the percentage and the bar's width change.
void show(ToastService& toasts, double fraction);
// Fades the toast out and removes it; nothing when none is on show.
void dismiss(ToastService& toasts);

// The toast on show, or nullptr.
QWidget* toast(const ToastService& toasts);

} // namespace downloadprogress
