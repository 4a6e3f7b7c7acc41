#include "localisation/LocBinding.h"

#include "localisation/Loc.h"
#include "platform/Defaults.h"

#include <QLocale>
#include <QPointer>

void bindLocToDefaults(Defaults& defaults) {
    QPointer<Defaults> store(&defaults);
    Loc::setEnvironment({
        [store] { return store ? store->string("appLanguage").toStdString() : std::string(); },
        [store](const std::string& code) {
            if (store) store->setValue("appLanguage", QString::fromStdString(code));
        },
        [] {
            std::vector<std::string> out;
            for (const QString& l : QLocale::system().uiLanguages()) out.push_back(l.toStdString());
            return out;
        },
    });
}
