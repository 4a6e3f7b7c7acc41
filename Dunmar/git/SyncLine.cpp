#include "git/SyncLine.h"

#include "localisation/Loc.h"

SyncLine syncLineFor(bool hasRemote, int ahead, int behind) {
    auto qs = [](const std::string& s) { return QString::fromStdString(s); };
    if (!hasRemote) return {qs(Loc::notYetUploaded()), QColor::fromRgbF(0.45, 0.45, 0.45), true, false};
    SyncLine line;
    line.uploadVisible = ahead != 0;
    line.updateVisible = behind != 0;
    if (ahead == 0 && behind == 0) {
        line.text = qs(Loc::upToDate());
        line.color = QColor::fromRgbF(0.4, 0.8, 0.5);
    } else if (ahead == 0) {
        line.text = qs(Loc::behindOnly(behind));
        line.color = QColor::fromRgbF(0.5, 0.7, 1.0);
    } else if (behind == 0) {
        line.text = qs(Loc::aheadOnly(ahead));
        line.color = QColor::fromRgbF(0.95, 0.8, 0.35);
    } else {
        line.text = qs(Loc::aheadBehind(ahead, behind));
        line.color = QColor::fromRgbF(1.0, 0.7, 0.3);
    }
    return line;
}
