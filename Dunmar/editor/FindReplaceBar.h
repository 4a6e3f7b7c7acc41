#pragma once

#include <QWidget>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

// The find-and-replace strip of an editor: it collects the query and the replacement and shows the
// match count; searching and replacing are the editor's, reached through the callbacks.
class FindReplaceBar : public QWidget {
    Q_OBJECT
public:
    static constexpr int kHeight = 62;

    explicit FindReplaceBar(QWidget* parent = nullptr);

    std::function<void(const QString& query, bool forward)> onSearch;
    std::function<void(const QString& replacement)> onReplace;
    std::function<void(const QString& query, const QString& replacement)> onReplaceAll;
    std::function<void()> onClose;

    // "3/12", or the no-match text in red when `total` is 0.
    void setMatchInfo(int current, int total);

    QLineEdit* findField() const { return findField_; }
    QLineEdit* replaceField() const { return replaceField_; }
    QLabel* matchLabel() const { return matchLabel_; }
    QPushButton* prevButton() const { return prevBtn_; }
    QPushButton* nextButton() const { return nextBtn_; }
    QPushButton* replaceButton() const { return replaceBtn_; }
    QPushButton* replaceAllButton() const { return replaceAllBtn_; }
    QPushButton* closeButton() const { return closeBtn_; }

    void nextTapped();
    void prevTapped();
    void replaceTapped();
    void replaceAllTapped();
    void closeTapped();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* makeField(const QString& placeholder);
    QPushButton* makeMiniBtn(const QString& title, void (FindReplaceBar::*action)());

    QLineEdit* findField_ = nullptr;
    QLineEdit* replaceField_ = nullptr;
    QLabel* matchLabel_ = nullptr;
    QPushButton* prevBtn_ = nullptr;
    QPushButton* nextBtn_ = nullptr;
    QPushButton* replaceBtn_ = nullptr;
    QPushButton* replaceAllBtn_ = nullptr;
    QPushButton* closeBtn_ = nullptr;
};
