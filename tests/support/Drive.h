#pragma once
// Driving modal windows from a test as a user does: the call that opens a
// window blocks in its own event loop, so the test's hands are queued here and
// act once the window is shown. Also a private configuration file per test.
#include "config/Config.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

namespace qo::test {

using Pred = std::function<bool(QWidget *)>;

// Runs `drive` on the next visible modal window that `match` accepts, made the
// active window as the window system would. A window the drive leaves open is
// closed after a while, and one that never matches is closed: a broken test
// fails instead of hanging.
inline void onModal(const Pred &match, const std::function<void(QWidget *)> &drive, int triesLeft = 500)
{
    QTimer::singleShot(triesLeft == 500 ? 0 : 10, [=] {
        QWidget *w = QApplication::activeModalWidget();
        if (w && w->isVisible() && match(w)) {
            QApplication::setActiveWindow(w);
            // Guarded before the drive: a window the drive closes may be gone after it.
            QPointer<QWidget> guard(w);
            drive(w);
            QTimer::singleShot(5000, [guard] {
                if (guard && guard->isVisible()) {
                    qWarning("window %s left open by the test; closing it", qPrintable(guard->objectName()));
                    guard->close();
                }
            });
            return;
        }
        if (triesLeft > 0) {
            onModal(match, drive, triesLeft - 1);
        } else if (w) {
            qWarning("the expected window did not open; closing %s", qPrintable(w->objectName()));
            w->close();
        }
    });
}

inline Pred anyWindow()
{
    return [](QWidget *) { return true; };
}

inline Pred named(const char *objectName)
{
    return [objectName](QWidget *w) { return w->objectName() == QLatin1String(objectName); };
}

inline Pred messageBox()
{
    return [](QWidget *w) { return qobject_cast<QMessageBox *>(w) != nullptr; };
}

template <typename W>
void onWindow(const std::function<void(W *)> &drive)
{
    onModal([](QWidget *w) { return qobject_cast<W *>(w) != nullptr; },
            [drive](QWidget *w) { drive(qobject_cast<W *>(w)); });
}

// Key clicks for any text: QTest::keyClicks knows only ASCII letters.
inline void keys(QWidget *w, const QString &text)
{
    for (const QChar ch : text) {
        if (ch.unicode() < 128) {
            QTest::keyClick(w, ch.toLatin1());
        } else {
            QTest::sendKeyEvent(QTest::Press, w, Qt::Key_unknown, QString(ch), Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, w, Qt::Key_unknown, QString(ch), Qt::NoModifier);
        }
    }
}

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
