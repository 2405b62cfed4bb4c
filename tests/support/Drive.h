#pragma once
// Driving windows from a test as a user does. The call that opens a modal
// window blocks in its own event loop, so the test's hands are queued here
// (`onModal`) and act once the window is shown; `ModalLog` records the message
// boxes and the windows nobody expected. Also typing, the focus, and a private
// configuration file per test.
//
// This is the one way tests answer modal windows. A box shown through
// ui/MessageBoxes can instead be answered before it opens (`BoxAnswers`, over
// the program's `SetNextAnswer`), which needs no window and no timer.
#include "config/Config.h"
#include "ui/MessageBoxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QPointer>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

namespace qo::test {

using Pred = std::function<bool(QWidget *)>;
using Hands = std::function<void(QWidget *)>;

class ModalLog;

// The window a long job shows after half a second (ui/JobProgress).
inline bool isProgressWindow(const QWidget *w)
{
    return w->objectName() == QLatin1String("frm_Folyamat");
}

namespace detail {

// One watcher for the whole test program. Each modal window that becomes the
// active one goes to the first waiting answer that accepts it, in the order
// the answers were given (those given while answering a window come first);
// a window is offered again only after another one (or none) was active
// meanwhile. Answers belong to the test function that
// gave them, and to the ModalLog open then, and are dropped when either ends.
class ModalDriver : public QObject {
public:
    static ModalDriver &instance()
    {
        static ModalDriver *driver = new ModalDriver(qApp);
        return *driver;
    }

    void add(Pred match, Hands drive)
    {
        Answer a{std::move(match), std::move(drive), testKey(), m_logs.isEmpty() ? nullptr : m_logs.last()};
        if (m_driving.isEmpty()) {
            m_pending.push_back(std::move(a));
        } else {
            // Given while a window is being answered: for the windows that one
            // opens, so before the answers that were waiting already.
            qsizetype &at = m_driving.last();
            at = qMin(at, m_pending.size());
            m_pending.insert(at++, std::move(a));
        }
    }
    // No answer waiting, and every answer taken has run its hands to the end.
    bool idle()
    {
        dropStale();
        return m_pending.isEmpty() && m_handsDue == 0;
    }
    void attach(ModalLog *log) { m_logs.push_back(log); }
    void detach(ModalLog *log)
    {
        m_logs.removeAll(log);
        m_pending.removeIf([log](const Answer &a) { return a.log == log; });
    }
    void noteBox(QMessageBox *box);
    void noteUnexpected(const QString &what);

private:
    // A window nobody answers is closed after this long (a driven window left
    // open after a longer one), so that a broken test fails instead of hanging.
    static constexpr int kUnexpectedMs = 4000;
    static constexpr int kLeftOpenMs = 60000;

    struct Answer {
        Pred match;
        Hands drive;
        QString test;
        ModalLog *log; // the log that was open when the answer was given, if any
    };

    explicit ModalDriver(QObject *parent) : QObject(parent)
    {
        connect(&m_timer, &QTimer::timeout, this, [this] { poll(); });
        m_timer.start(10);
    }

    static QString testKey()
    {
        const char *fn = QTest::currentTestFunction();
        const char *tag = QTest::currentDataTag();
        return QString::fromUtf8(fn ? fn : "") + QLatin1Char('/') + QString::fromUtf8(tag ? tag : "");
    }
    void dropStale()
    {
        const QString key = testKey();
        m_pending.removeIf([&key](const Answer &a) { return a.test != key; });
    }

    void poll()
    {
        dropStale();
        QWidget *w = QApplication::activeModalWidget();
        if (w && !w->isVisible())
            w = nullptr;
        if (w != m_active) {
            // Another window (or none) came up: the one answered last may be
            // answered again when it returns.
            if (m_answered && m_answered != w)
                m_answered = nullptr;
            m_active = w;
            m_since.start();
        }
        if (!w)
            return;
        if (auto *box = qobject_cast<QMessageBox *>(w))
            noteBox(box);
        if (w != m_answered) {
            for (qsizetype i = 0; i < m_pending.size(); ++i) {
                if (!m_pending.at(i).match(w))
                    continue;
                const Hands drive = m_pending.takeAt(i).drive;
                for (qsizetype &at : m_driving)
                    if (at > i)
                        --at;
                m_answered = w;
                m_since.start();
                QApplication::setActiveWindow(w);
                // Run from the event loop, not from this timer: the hands may
                // open modal windows of their own, which must be answered too.
                QPointer<QWidget> guard(w);
                ++m_handsDue;
                QTimer::singleShot(0, this, [this, guard, drive] {
                    auto done = qScopeGuard([this] { --m_handsDue; });
                    if (!guard)
                        return;
                    m_driving.push_back(0);
                    drive(guard);
                    m_driving.pop_back();
                });
                return;
            }
        }
        // A job's progress window goes away when the job ends; closing it
        // would stop the job the test is waiting for.
        if (isProgressWindow(w))
            return;
        const bool armed = !m_pending.isEmpty() || !m_logs.isEmpty() || m_answered == w;
        if (!armed || m_since.elapsed() < (m_answered == w ? kLeftOpenMs : kUnexpectedMs))
            return;
        const QString what = w->windowTitle() + QStringLiteral(" / ")
            + (qobject_cast<QMessageBox *>(w) ? static_cast<QMessageBox *>(w)->text() : w->objectName());
        qWarning("closing %s: %s", m_answered == w ? "a window the test left open" : "a window nobody answered",
                 qPrintable(what));
        noteUnexpected(what);
        m_since.start();
        if (qobject_cast<QDialog *>(w))
            QMetaObject::invokeMethod(w, "reject", Qt::QueuedConnection);
        else
            w->close();
    }

    QTimer m_timer;
    QList<Answer> m_pending;
    QList<qsizetype> m_driving; // per answer running: where the answers it gives go
    int m_handsDue = 0;         // answers taken whose hands have not finished yet
    QList<ModalLog *> m_logs;
    QList<QPointer<QMessageBox>> m_boxesSeen;
    QPointer<QWidget> m_active;
    QPointer<QWidget> m_answered;
    QElapsedTimer m_since;
};

} // namespace detail

// Runs `drive` on the next visible modal window that `match` accepts, made the
// active window as the window system would.
inline void onModal(const Pred &match, const Hands &drive)
{
    detail::ModalDriver::instance().add(match, drive);
}

// What the message boxes said while the log lives, and the windows that were
// closed because no answer took them. The answers given while it is the
// newest log end with it; `done()` says every answer still waiting is used.
class ModalLog {
public:
    ModalLog() { detail::ModalDriver::instance().attach(this); }
    ~ModalLog() { detail::ModalDriver::instance().detach(this); }
    ModalLog(const ModalLog &) = delete;
    ModalLog &operator=(const ModalLog &) = delete;

    bool done() const { return detail::ModalDriver::instance().idle(); }
    // "caption: text" of each box.
    QStringList boxes() const
    {
        QStringList out;
        for (qsizetype i = 0; i < texts.size(); ++i)
            out << titles.at(i) + QStringLiteral(": ") + texts.at(i);
        return out;
    }

    QStringList texts;  // text of every message box seen, in order
    QStringList titles; // and its caption
    QStringList unexpected;
};

inline void detail::ModalDriver::noteBox(QMessageBox *box)
{
    for (const QPointer<QMessageBox> &seen : std::as_const(m_boxesSeen))
        if (seen == box)
            return;
    m_boxesSeen.removeAll(nullptr);
    m_boxesSeen.push_back(box);
    for (ModalLog *log : std::as_const(m_logs)) {
        log->texts << box->text();
        log->titles << box->windowTitle();
    }
}

inline void detail::ModalDriver::noteUnexpected(const QString &what)
{
    for (ModalLog *log : std::as_const(m_logs))
        log->unexpected << what;
}

// Any window a command opens; a long job's progress window only when asked
// for by name, as it may or may not show depending on the machine's speed.
inline Pred anyWindow()
{
    return [](QWidget *w) { return !isProgressWindow(w); };
}

inline Pred named(const char *objectName)
{
    return [objectName](QWidget *w) { return w->objectName() == QLatin1String(objectName); };
}

inline Pred titled(const QString &title)
{
    return [title](QWidget *w) { return w->windowTitle() == title; };
}

inline Pred messageBox()
{
    return [](QWidget *w) { return qobject_cast<QMessageBox *>(w) != nullptr; };
}

inline Pred notMessageBox()
{
    return [](QWidget *w) { return qobject_cast<QMessageBox *>(w) == nullptr && !isProgressWindow(w); };
}

template <typename W>
void onWindow(const std::function<void(W *)> &drive)
{
    onModal([](QWidget *w) { return qobject_cast<W *>(w) != nullptr; },
            [drive](QWidget *w) { drive(qobject_cast<W *>(w)); });
}

// Hands that press a message box's button (Yes, No, Ok ...), or cancel a
// window that has no such button.
inline Hands pressButton(QMessageBox::StandardButton button)
{
    return [button](QWidget *w) {
        auto *box = qobject_cast<QMessageBox *>(w);
        if (box && box->button(button))
            box->button(button)->click();
        else
            QMetaObject::invokeMethod(w, "reject", Qt::QueuedConnection);
    };
}

inline Hands rejectWindow()
{
    return [](QWidget *w) { QMetaObject::invokeMethod(w, "reject", Qt::QueuedConnection); };
}

// The focused widget. The offscreen platform has no window manager that gives
// the activation back to the modal window under a closed message box: the
// test does it, as the window manager would.
inline QWidget *focused()
{
    if (!QApplication::focusWidget())
        (void)QTest::qWaitFor([] { return QApplication::focusWidget() != nullptr; }, 500);
    if (!QApplication::focusWidget()) {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            modal->activateWindow();
            (void)QTest::qWaitFor([] { return QApplication::focusWidget() != nullptr; }, 2000);
        }
    }
    return QApplication::focusWidget();
}

// Text as typed keys, any letters: QTest::keyClicks knows only ASCII, so the
// others arrive as key events carrying their text, as a keyboard with those
// letters sends them (a character outside the basic plane as its pair).
inline void typeText(QWidget *w, const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.unicode() < 0x80) {
            QTest::keyClick(w, c.toLatin1());
            continue;
        }
        const qsizetype n = c.isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, text.mid(i, n), Qt::NoModifier);
        i += n - 1;
    }
}

// Typed into whatever has the focus, each key where the focus then stands.
inline void typeText(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype n = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        typeText(focused(), text.mid(i, n));
        i += n - 1;
    }
}

inline void press(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QTest::keyClick(focused(), key, mods);
}

// The window shown and made the active one, as a user's click would.
inline void showActive(QWidget &w)
{
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
}

// Back in a window after a modal one: the desktop gives the activation back
// a moment later, and commands are keyed to the active window.
inline void backTo(QWidget &w)
{
    if (!w.isActiveWindow())
        w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w, 15000));
}

// Answers given ahead to the next boxes shown through ui/MessageBoxes: they
// are answered without being shown, so no timer races the box. Answers left
// unused are dropped with this object, and `texts()` says what the boxes said.
class BoxAnswers {
public:
    explicit BoxAnswers(BoxAnswer answer = BoxAnswer::Ok, int times = 1)
    {
        ClearNextAnswers();
        TakeAnsweredBoxes();
        then(answer, times);
    }
    ~BoxAnswers()
    {
        ClearNextAnswers();
        TakeAnsweredBoxes();
    }
    BoxAnswers(const BoxAnswers &) = delete;
    BoxAnswers &operator=(const BoxAnswers &) = delete;

    BoxAnswers &then(BoxAnswer answer, int times = 1)
    {
        for (int i = 0; i < times; ++i)
            SetNextAnswer(answer);
        return *this;
    }
    QStringList texts()
    {
        take();
        QStringList out;
        for (const AnsweredBox &b : std::as_const(m_seen))
            out << b.text;
        return out;
    }
    QStringList captions()
    {
        take();
        QStringList out;
        for (const AnsweredBox &b : std::as_const(m_seen))
            out << b.caption;
        return out;
    }

private:
    void take() { m_seen += TakeAnsweredBoxes(); }
    QList<AnsweredBox> m_seen;
};

// An empty configuration file of the test's own, so that window placements
// and settings never touch the user's.
class TempConfig {
public:
    TempConfig()
    {
        QFile ini(m_dir.filePath(QStringLiteral("QuorvinOpt.ini")));
        if (ini.open(QIODevice::WriteOnly))
            ini.close();
        initFolders(m_dir.path());
    }
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
};

} // namespace qo::test
