#pragma once
// Answers the modal windows a test provokes, as a user would: each answer
// waits for the next modal window to appear, then acts on it.
#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <functional>

namespace qo::test {

// Queues an answer for the next modal window that is not already answered.
// The window is handed to `act`; message boxes' texts are collected in `seen`.
class ModalAnswers : public QObject {
public:
    using Action = std::function<void(QWidget *)>;
    ModalAnswers()
    {
        m_timer.setInterval(20);
        connect(&m_timer, &QTimer::timeout, this, [this] { poll(); });
        m_timer.start();
    }
    void then(Action a) { m_queue.push_back(std::move(a)); }
    // Presses a button of a message box by its standard role (Yes, No, Ok...).
    void thenPress(QMessageBox::StandardButton b)
    {
        then([b](QWidget *w) {
            if (auto *box = qobject_cast<QMessageBox *>(w))
                box->button(b) ? box->button(b)->click() : box->reject();
        });
    }
    void thenReject() { then([](QWidget *w) { QMetaObject::invokeMethod(w, "reject", Qt::QueuedConnection); }); }
    bool done() const { return m_queue.isEmpty(); }
    QStringList texts; // text of every message box seen, in order
    QStringList titles;
    QStringList unexpected; // titles of windows that had no answer queued

private:
    void poll()
    {
        QWidget *w = QApplication::activeModalWidget();
        if (!w || w == m_last || !w->isVisible())
            return;
        m_last = w;
        if (auto *box = qobject_cast<QMessageBox *>(w)) {
            texts << box->text();
            titles << box->windowTitle();
        }
        if (m_queue.isEmpty()) { // an unexpected window: note it and close it, never hang
            unexpected << w->windowTitle();
            QMetaObject::invokeMethod(w, "reject", Qt::QueuedConnection);
            return;
        }
        Action a = m_queue.takeFirst();
        a(w);
    }
    QTimer m_timer;
    QList<Action> m_queue;
    QPointer<QWidget> m_last;
};

} // namespace qo::test
