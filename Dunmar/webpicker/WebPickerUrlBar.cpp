// The picker sidebar's address bar with its remembered addresses, and the switcher between the
// browser's open pages.
#include "chrome/ChromeStyle.h"
#include "platform/Defaults.h"
#include "platform/PlainText.h"
#include "settings/VertCenteredTextField.h"
#include "webpicker/ChromeCDPClient.h"
#include "webpicker/DevToolsTargets.h"
#include "webpicker/SidebarStyle.h"
#include "webpicker/UrlHistory.h"
#include "webpicker/WebPickerConnection.h"
#include "webpicker/WebPickerSidebarView.h"

#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

using sidebarstyle::css;

namespace {

const QString kHistoryKey = QStringLiteral("webPickerURLHistory");
constexpr int kSuggestionRowHeight = 22;
constexpr int kTabRowHeight = 24;
constexpr int kTabListTimeoutMs = 3000;

QPushButton* rowButton(const QString& title, const QFont& font, const QColor& tint, QWidget* parent) {
    auto* button = new QPushButton(parent);
    button->setFont(font);
    button->setFlat(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setCursor(Qt::PointingHandCursor);
    button->setStyleSheet(
        QStringLiteral(
            "QPushButton{border:none;background:transparent;padding:0 2px;text-align:left;color:%1;}")
            .arg(css(tint)));
    button->setProperty("fullTitle", title);
    return button;
}

void removeChildren(QWidget* box) {
    for (QWidget* child : box->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        child->hide();
        child->deleteLater();
    }
}

QStringList storedHistory(const Defaults& defaults) {
    const QVariant value = defaults.object(kHistoryKey);
    if (value.typeId() != QMetaType::QVariantList && value.typeId() != QMetaType::QStringList) return {};
    QStringList out;
    for (const QVariant& entry : value.toList()) {
        if (entry.typeId() != QMetaType::QString) return {};
        out << entry.toString();
    }
    return out;
}

} // namespace

void WebPickerSidebarView::navigateURL() {
    const QString text = urlhistory::trimBlanks(urlField_->text());
    if (text.isEmpty()) return;
    addToHistory(text);
    hideSuggestions();
    connection_->cdp().navigate(text);
    urlField_->clearFocus();
}

void WebPickerSidebarView::addToHistory(const QString& url) {
    const QStringList before = storedHistory(defaults_);
    const QStringList after = urlhistory::visited(before, url);
    if (after != before) defaults_.setValue(kHistoryKey, after);
}

void WebPickerSidebarView::updateSuggestions(const QString& query) {
    removeChildren(suggestBox_);
    const QStringList candidates = urlhistory::suggestions(storedHistory(defaults_), query);
    if (candidates.isEmpty()) {
        suggestBox_->hide();
        return;
    }
    const int width = std::max(0, urlBg_->width() - 8);
    for (int k = 0; k < candidates.size(); ++k) {
        const QString url = candidates[k];
        QPushButton* row = rowButton(url, chrome::monoFont(9.5), chrome::white(0.72), suggestBox_);
        row->setText(plaintext::menuText(row->fontMetrics().elidedText(
            plaintext::visibleEscapes(url), Qt::ElideMiddle, std::max(0, width - 6))));
        row->setObjectName(url);
        row->setGeometry(4, 2 + kSuggestionRowHeight * k, width, kSuggestionRowHeight);
        QObject::connect(row, &QPushButton::clicked, this, [this, url] { selectSuggestion(url); });
        row->show();
    }
    suggestBoxH_ = kSuggestionRowHeight * static_cast<int>(candidates.size()) + 4;
    suggestBox_->show();
    suggestBox_->raise();
    layoutContents();
}

void WebPickerSidebarView::hideSuggestions() {
    suggestBox_->hide();
    removeChildren(suggestBox_);
}

void WebPickerSidebarView::selectSuggestion(const QString& url) {
    urlField_->setText(url);
    hideSuggestions();
    connection_->cdp().navigate(url);
    urlField_->clearFocus();
}

void WebPickerSidebarView::toggleTabSwitcher() {
    if (!tabBox_->isHidden()) return hideTabBox();
    removeChildren(tabBox_);
    const QPointer<WebPickerSidebarView> self(this);
    connection_->cdp().listTargets(kTabListTimeoutMs, [self](std::optional<QByteArray> body) {
        if (!self || !body) return;
        std::optional<std::vector<devtools::ListedPage>> pages = devtools::listedPages(*body);
        if (!pages || pages->empty()) return;
        self->showTabRows(std::move(*pages));
    });
}

void WebPickerSidebarView::showTabRows(std::vector<devtools::ListedPage> pages) {
    if (pages.size() > kMaxTabRows) pages.resize(kMaxTabRows);
    const std::optional<QString> currentTarget = connection_->currentTargetId();
    const int width = std::max(0, tabBox_->width() - 12);
    for (size_t k = 0; k < pages.size(); ++k) {
        const devtools::ListedPage& page = pages[k];
        const QString label = page.title.isEmpty() ? page.url : page.title;
        const bool current = currentTarget && page.id == *currentTarget;
        const QString title = (current ? QStringLiteral("▶ ") : QStringLiteral("   ")) + label;
        QPushButton* row = rowButton(title, chrome::monoFont(9, current ? QFont::DemiBold : QFont::Normal),
                                     current ? teal() : chrome::white(0.72), tabBox_);
        row->setText(plaintext::menuText(row->fontMetrics().elidedText(
            plaintext::visibleEscapes(title), Qt::ElideRight, std::max(0, width - 4))));
        row->setToolTip(plaintext::toolTip(page.url));
        row->setObjectName(page.webSocket);
        row->setGeometry(6, 2 + kTabRowHeight * static_cast<int>(k), width, kTabRowHeight);
        const QString ws = page.webSocket;
        QObject::connect(row, &QPushButton::clicked, this, [this, ws] { selectTab(ws); });
        row->show();
    }
    tabBoxH_ = kTabRowHeight * static_cast<int>(pages.size()) + 4;
    tabBox_->show();
    tabBox_->raise();
    layoutContents();
}

void WebPickerSidebarView::hideTabBox() {
    tabBox_->hide();
    removeChildren(tabBox_);
    tabBoxH_ = 0;
}

void WebPickerSidebarView::selectTab(const QString& webSocketUrl) {
    hideTabBox();
    if (webSocketUrl.isEmpty()) return;
    connection_->switchTo(webSocketUrl);
}
