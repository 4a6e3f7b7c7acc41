#include "palette/HelpViewer.h"

#include "chrome/ChromeStyle.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPropertyAnimation>
#include <QWheelEvent>
#include <QWindow>
#include <cmath>

// The compiled-in resources of a static library are registered by name from outside any
// namespace.
static void registerChangelogResource() {
    Q_INIT_RESOURCE(changelog);
}

namespace {

constexpr int kInset = 20;
constexpr int kMargin = 30;
constexpr int kMinLineHeight = 15;
constexpr int kFadeBand = 50;

struct LineAttrs {
    QFont font;
    QColor color;
};

LineAttrs attrsFor(HelpViewer::LineStyle style) {
    using S = HelpViewer::LineStyle;
    const auto bold = [](qreal size) { return chrome::monoFont(size, QFont::Bold); };
    const auto regular = [](qreal size) { return chrome::monoFont(size, QFont::Normal); };
    switch (style) {
    case S::title:
        return {bold(13), Qt::white};
    case S::heading:
        return {bold(11), chrome::rgb(0.4, 0.7, 1.0)};
    case S::subheading:
        return {bold(10), chrome::rgb(0.6, 0.8, 1.0)};
    case S::bold:
        return {bold(10), chrome::white(0.85)};
    case S::code:
        return {regular(10), chrome::rgb(0.5, 0.75, 0.45)};
    case S::separator:
        return {regular(10), chrome::white(0.2)};
    case S::normal:
        return {regular(10), chrome::white(0.55)};
    case S::tableRow:
        return {regular(10), chrome::white(0.65)};
    case S::badge:
        return {bold(10), chrome::rgb(0.3, 0.6, 0.9)};
    case S::alertImportant:
        return {bold(10), chrome::rgb(1.0, 0.45, 0.35)};
    case S::alertNote:
        return {regular(10), chrome::rgb(0.35, 0.6, 1.0)};
    case S::alertTip:
        return {regular(10), chrome::rgb(0.3, 0.8, 0.5)};
    case S::listItem:
        return {regular(10), chrome::white(0.6)};
    case S::tree:
        return {regular(10), chrome::rgb(0.5, 0.65, 0.8)};
    }
    return {regular(10), chrome::white(0.55)};
}

// The window's rounded dark face.
class ViewerFace : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(chrome::white(0.12), 1));
        p.setBrush(chrome::white(0.03, 0.96));
        p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
    }
};

// The text fades into the background along the top and bottom edges.
class FadeBand : public QWidget {
public:
    FadeBand(QWidget* parent, bool top) : QWidget(parent), top_(top) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        QLinearGradient g(0, 0, 0, height());
        const QColor dark = Qt::black;
        const QColor clear(0, 0, 0, 0);
        g.setColorAt(0, top_ ? dark : clear);
        g.setColorAt(1, top_ ? clear : dark);
        p.fillRect(rect(), g);
    }

private:
    bool top_;
};

} // namespace

HelpViewer::HelpViewer() {
    displayLink_.setInterval(kTickMs);
    connect(&displayLink_, &QTimer::timeout, this, [this] { tick(); });
}

HelpViewer::~HelpViewer() {
    removeMonitors();
    delete window_.data();
}

QString HelpViewer::findFile(const QString& name) {
    registerChangelogResource();
    static const QHash<QString, QString> embedded{
        {QStringLiteral("CHANGELOG.md"), QStringLiteral(":/changelog/CHANGELOG.md")}};
    const auto readText = [](const QString& path) -> QString {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) return QString();
        return QString::fromUtf8(file.readAll());
    };
    if (embedded.contains(name)) {
        const QString text = readText(embedded.value(name));
        if (!text.isEmpty()) return text;
    }
    QStringList candidates;
    const QStringList args = QCoreApplication::arguments();
    const QString executableDir = args.isEmpty() ? QString() : QFileInfo(args.first()).path();
    candidates << QDir(executableDir).filePath(name);
    // The install folder stands for the application bundle: the folder that contains it.
    const QString installDir = QCoreApplication::applicationDirPath();
    if (!installDir.isEmpty()) candidates << QFileInfo(installDir).path() + QLatin1Char('/') + name;
    candidates << QDir::currentPath() + QLatin1Char('/') + name;
    for (const QString& path : candidates) {
        const QString text = readText(path);
        if (!text.isEmpty()) return text;
    }
    return QString();
}

void HelpViewer::showChangelog(QWidget* relativeTo) {
    const QString text = findFile(QStringLiteral("CHANGELOG.md"));
    if (text.isEmpty()) return;
    showLines(changelog::renderMarkdown(text), relativeTo, kWindowWidth);
}

void HelpViewer::showLines(const std::vector<StyledLine>& lines, QWidget* relativeTo, int winW) {
    if (window_ && window_->isVisible()) {
        close();
        return;
    }
    // Measure every line once.
    std::vector<int> heights;
    int documentH = 2 * kMargin;
    const int labelW = winW - 2 * kInset;
    for (const StyledLine& line : lines) {
        int h = kMinLineHeight;
        if (!line.text.isEmpty()) {
            const QFontMetricsF metrics(attrsFor(line.style).font);
            const QRectF box = metrics.boundingRect(QRectF(0, 0, labelW, 1e6), Qt::TextWordWrap, line.text);
            h = std::max(kMinLineHeight, int(std::ceil(box.height())) + 2);
        }
        heights.push_back(h);
        documentH += h;
    }
    documentHeight_ = documentH;

    auto* win = new ViewerFace(nullptr);
    win->setObjectName(QStringLiteral("changelogViewer"));
    win->setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                        Qt::WindowDoesNotAcceptFocus);
    win->setAttribute(Qt::WA_TranslucentBackground);
    win->setAttribute(Qt::WA_ShowWithoutActivating);
    win->setAttribute(Qt::WA_DeleteOnClose);
    const QRect anchor = relativeTo ? relativeTo->frameGeometry() : QRect(0, 0, winW, kWindowHeight);
    win->setGeometry(anchor.center().x() - winW / 2, anchor.center().y() - kWindowHeight / 2, winW,
                     kWindowHeight);
    window_ = win;

    auto* clip = new QWidget(win);
    clip->setGeometry(0, 0, winW, kWindowHeight);
    auto* document = new QWidget(clip);
    document_ = document;
    document->resize(winW, documentH);
    int top = kMargin;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const LineAttrs attrs = attrsFor(lines[i].style);
        auto* label = new QLabel(lines[i].text, document);
        label->setFont(attrs.font);
        label->setWordWrap(true);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        QPalette pal = label->palette();
        pal.setColor(QPalette::WindowText, attrs.color);
        label->setPalette(pal);
        label->setGeometry(kInset, top, labelW, heights[i]);
        top += heights[i];
    }
    (new FadeBand(clip, true))->setGeometry(0, 0, winW, kFadeBand);
    (new FadeBand(clip, false))->setGeometry(0, kWindowHeight - kFadeBand, winW, kFadeBand);

    // The top of the text stands at the top of the window.
    scroll_.lowestY = kWindowHeight - documentH;
    scroll_.y = scroll_.lowestY;
    scroll_.speed = ChangelogScroll::kCruise;
    placeDocument();

    win->setWindowOpacity(0);
    win->show();
    auto* fade = new QPropertyAnimation(win, "windowOpacity", win);
    fade->setDuration(kFadeInMs);
    fade->setEndValue(1.0);
    fade->start(QAbstractAnimation::DeleteWhenStopped);

    QTimer::singleShot(startDelayMs_, win, [self = QPointer<HelpViewer>(this), win] {
        if (self && self->window_ == win) self->displayLink_.start();
    });
    installMonitors();
}

void HelpViewer::placeDocument() {
    if (!document_) return;
    // From the bottom-up position of its lower edge to the clip's top-down coordinates.
    document_->move(0, int(std::lround(kWindowHeight - scroll_.y - documentHeight_)));
}

void HelpViewer::tick() {
    if (!window_) return;
    const bool done = scroll_.tick();
    placeDocument();
    if (done) close();
}

void HelpViewer::close() {
    displayLink_.stop();
    removeMonitors();
    if (!window_) return;
    QWidget* win = window_;
    window_ = nullptr;
    document_ = nullptr;
    auto* fade = new QPropertyAnimation(win, "windowOpacity", win);
    fade->setDuration(kFadeOutMs);
    fade->setEndValue(0.0);
    connect(fade, &QPropertyAnimation::finished, win, [win] { win->close(); });
    fade->start(QAbstractAnimation::DeleteWhenStopped);
}

void HelpViewer::installMonitors() {
    if (monitoring_) return;
    qApp->installEventFilter(this);
    monitoring_ = true;
}

void HelpViewer::removeMonitors() {
    if (!monitoring_) return;
    qApp->removeEventFilter(this);
    monitoring_ = false;
}

bool HelpViewer::eventFilter(QObject* watched, QEvent* event) {
    if (!window_) return false;
    const QEvent::Type type = event->type();
    if (type != QEvent::Wheel && type != QEvent::KeyPress && type != QEvent::MouseButtonPress) return false;
    // An input event passes the filter once for its window and again for each widget on its way
    // up; only its first appearance counts.
    const auto* input = static_cast<const QInputEvent*>(event);
    if (event == lastEvent_ && input->timestamp() == lastTimestamp_) return false;
    lastEvent_ = event;
    lastTimestamp_ = input->timestamp();

    if (type == QEvent::Wheel) {
        if (!window_->isVisible()) return false;
        const auto* wheel = static_cast<const QWheelEvent*>(event);
        scroll_.wheel(wheel->pixelDelta().isNull() ? wheel->angleDelta().y() / 8.0 : wheel->pixelDelta().y());
        return false;
    }
    if (type == QEvent::KeyPress) {
        if (static_cast<const QKeyEvent*>(event)->key() != Qt::Key_Escape) return false;
        close();
        return true;
    }
    if (static_cast<const QMouseEvent*>(event)->button() != Qt::LeftButton) return false;
    bool inViewer = false;
    if (watched->isWindowType())
        inViewer = watched == window_->windowHandle();
    else if (watched->isWidgetType())
        inViewer = static_cast<QWidget*>(watched)->window() == window_.data();
    else
        return false;
    // The click still reaches the window it was aimed at.
    if (!inViewer) close();
    return false;
}
