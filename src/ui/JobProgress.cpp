#include "ui/JobProgress.h"
#include "ui/WindowKeys.h"

#include <QCoreApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace qo {

namespace {

int g_showDelay = 500;
constexpr int kEventInterval = 40; // ms between two turns of the event loop

QString grouped(qint64 n)
{
    // Thousands grouped with a blank, as the list counts show them.
    QString digits = QString::number(n);
    for (int i = digits.size() - 3; i > 0 && digits[i - 1] != QLatin1Char('-'); i -= 3)
        digits.insert(i, QLatin1Char(' '));
    return digits;
}

} // namespace

class JobProgressWindow : public QDialog {
public:
    JobProgressWindow(const QString &title, QWidget *parent, bool *cancelled)
        : QDialog(parent), m_cancelled(cancelled)
    {
        setObjectName(WindowKeys::kJobProgress);
        setWindowTitle(title);
        setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
        setWindowModality(Qt::ApplicationModal);
        auto *lay = new QVBoxLayout(this);
        text = new QLabel(title, this);
        text->setObjectName(QStringLiteral("lbl_Szoveg"));
        bar = new QProgressBar(this);
        bar->setObjectName(QStringLiteral("ProgressBar1"));
        bar->setTextVisible(false);
        count = new QLabel(this);
        count->setObjectName(QStringLiteral("lbl_Allas"));
        stop = new QPushButton(QStringLiteral("Megszakítás"), this);
        stop->setObjectName(QStringLiteral("btn_Megszakitas"));
        stop->setDefault(true);
        lay->addWidget(text);
        lay->addWidget(bar);
        auto *row = new QHBoxLayout;
        row->addWidget(count, 1);
        row->addWidget(stop);
        lay->addLayout(row);
        setMinimumWidth(380);
        connect(stop, &QPushButton::clicked, this, [this] { requestStop(); });
    }

    void requestStop()
    {
        *m_cancelled = true;
        stop->setEnabled(false);
        count->setText(QStringLiteral("Megszakítás…"));
    }

    // Esc and the window's close button stop the job; the window itself stays
    // until the job has unwound.
    void reject() override { requestStop(); }

    QLabel *text;
    QProgressBar *bar;
    QLabel *count;
    QPushButton *stop;

private:
    bool *m_cancelled;
};

JobProgress::JobProgress(const QString &title, const QString &unit, QWidget *parent)
    : m_title(title), m_unit(unit), m_text(title), m_parent(parent)
{
    m_started.start();
    m_lastEvents.start();
}

JobProgress::~JobProgress()
{
    delete m_window;
}

int JobProgress::setShowDelay(int ms)
{
    const int old = g_showDelay;
    g_showDelay = ms;
    return old;
}

void JobProgress::setTotal(qint64 total)
{
    m_total = total;
}

void JobProgress::setText(const QString &text)
{
    m_text = text;
    if (m_window)
        m_window->text->setText(text);
}

bool JobProgress::windowShown() const
{
    return m_window && m_window->isVisible();
}

bool JobProgress::advance(qint64 done)
{
    m_done = done;
    if (m_cancelled || m_lastEvents.elapsed() < kEventInterval)
        return !m_cancelled;
    if (!m_window && m_started.elapsed() >= g_showDelay) {
        m_window = new JobProgressWindow(m_title, m_parent, &m_cancelled);
        m_window->text->setText(m_text);
        refresh();
        m_window->show();
    } else if (m_window) {
        refresh();
    }
    // Until the window shows (and takes the input as a modal window) keys and
    // clicks wait, so the window under the job cannot start a second one.
    QCoreApplication::processEvents(m_window ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
    m_lastEvents.restart();
    return !m_cancelled;
}

void JobProgress::check(qint64 done, const QString &message)
{
    if (!advance(done))
        throw message.isEmpty() ? JobCancelled() : JobCancelled(message);
}

void JobProgress::refresh()
{
    if (!m_window || m_cancelled)
        return;
    QProgressBar *bar = m_window->bar;
    // A total that is an estimate (a table's row count from the server's
    // statistics) may be passed: then the count alone, the bar full.
    if (m_total > 0 && m_done > m_total) {
        bar->setRange(0, 1);
        bar->setValue(1);
        m_window->count->setText(grouped(m_done) + QLatin1Char(' ') + m_unit);
    } else if (m_total > 0) {
        // The bar counts in thousandths: totals beyond int range still fit.
        bar->setRange(0, 1000);
        bar->setValue(int(qMin<qint64>(1000, m_done * 1000 / m_total)));
        m_window->count->setText(grouped(m_done) + QStringLiteral(" / ") + grouped(m_total) + QLatin1Char(' ') + m_unit);
    } else {
        bar->setRange(0, 0); // busy: the total is not known yet
        m_window->count->setText(grouped(m_done) + QLatin1Char(' ') + m_unit);
    }
}

} // namespace qo
