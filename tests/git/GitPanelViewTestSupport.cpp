#include "GitPanelViewTestSupport.h"

#include "GitTestSupport.h"
#include "git/GitPanelModel.h"
#include "localisation/Loc.h"

namespace gittest {

namespace {
std::string& chosenLanguage() {
    static std::string code = "en";
    return code;
}
} // namespace

void useLanguage(const std::string& code) {
    chosenLanguage() = code;
    Loc::setEnvironment({[] { return chosenLanguage(); }, [](const std::string& c) { chosenLanguage() = c; },
                         [] { return std::vector<std::string>{"en"}; }});
}

std::unique_ptr<GitPanelView> makePanel() {
    useLanguage("en");
    GitHubEndpoints endpoints;
    endpoints.apiBase = QUrl(QStringLiteral("http://127.0.0.1:9"));
    auto panel = std::make_unique<GitPanelView>(nullptr, endpoints);
    panel->resize(320, 640);
    panel->show();
    // The token lookup at start finds none in the test's own keyring; wait for it, so that it does
    // not sign the panel out after a test signed it in.
    waitFor([&] { return panel->model().github().initialTokenResolved(); });
    return panel;
}

bool showFolder(GitPanelView& panel, const QString& cwd) {
    panel.startRefreshing(cwd);
    return waitFor([&] { return !panel.model().isRefreshing(); });
}

bool refreshed(GitPanelView& panel) {
    panel.refresh();
    return waitFor([&] { return !panel.model().isRefreshing(); });
}

} // namespace gittest
