#include "localisation/LanguageNotifier.h"

LanguageNotifier& LanguageNotifier::shared() {
    static LanguageNotifier notifier;
    return notifier;
}
