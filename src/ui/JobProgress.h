#pragma once
// A long job that runs on the user-interface thread in small steps. The job
// calls advance() as it goes; after half a second a window shows what is done
// ("12 000 / 300 000 sor", or the count alone while the total is unknown) with
// "Megszakítás", and pending events are processed at most every 40 ms, so the
// windows keep repainting while the job runs. Esc or "Megszakítás" asks the
// job to stop: advance() then returns false and check() throws JobCancelled,
// which unwinds through the save helper (the earlier file stays) and through
// RunInTransaction (the unit of work is rolled back).
#include "base/Error.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QString>

class QWidget;

namespace qo {

class JobProgressWindow;

// Thrown when the user stopped a job; its message says what is left as it was.
class JobCancelled : public Error {
public:
    explicit JobCancelled(const QString &message = QStringLiteral("A művelet megszakítva."))
        : Error(message) {}
};

class JobProgress {
public:
    // title: what runs ("Adatmentés"); unit: what is counted ("sor", "oldal").
    JobProgress(const QString &title, const QString &unit, QWidget *parent);
    ~JobProgress();
    JobProgress(const JobProgress &) = delete;
    JobProgress &operator=(const JobProgress &) = delete;

    void setTotal(qint64 total); // 0 while unknown
    void setText(const QString &text); // the line above the bar, the title by default

    // Reports progress; false once the user asked to stop.
    bool advance(qint64 done);
    // As advance(), but throws JobCancelled(message) once the user asked to stop.
    void check(qint64 done, const QString &message = QString());
    bool cancelled() const { return m_cancelled; }
    // Stops the job as the user's button does (for the owner's own stop keys).
    void cancel() { m_cancelled = true; }

    qint64 done() const { return m_done; }
    qint64 total() const { return m_total; }
    bool windowShown() const;

    // How long a job runs before its window shows (half a second; tests may
    // shorten it). Returns the previous value.
    static int setShowDelay(int ms);

private:
    void refresh();

    QString m_title;
    QString m_unit;
    QString m_text;
    QPointer<QWidget> m_parent;
    JobProgressWindow *m_window = nullptr;
    QElapsedTimer m_started;
    QElapsedTimer m_lastEvents;
    qint64 m_done = 0;
    qint64 m_total = 0;
    bool m_cancelled = false;
};

} // namespace qo
