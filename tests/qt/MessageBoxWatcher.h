#pragma once
// Answers the modal message boxes a test provokes: records each one and
// presses its OK button, as a person would.
#include <QObject>
#include <QString>
#include <QTimer>
#include <vector>

class QWidget;

struct SeenMessage {
    QString title;
    QString text;
    bool hasIcon = false;
    int buttonCount = 0;
    bool windowVisible = false;  // the watched window, while the box was open
};

class MessageBoxWatcher : public QObject {
public:
    explicit MessageBoxWatcher(const QWidget* window = nullptr);

    const std::vector<SeenMessage>& Seen() const { return seen_; }
    void Clear() { seen_.clear(); }

private:
    void Poll();

    const QWidget* window_;
    QTimer timer_;
    std::vector<SeenMessage> seen_;
};
