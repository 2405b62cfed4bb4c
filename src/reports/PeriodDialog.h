#pragma once
// The period dialog "Időszak megadása": a from-date and a to-date, with quick
// buttons for today, this week, this month, last month, this year, last year.
#include <QDate>
#include <QDialog>
#include <QPair>

class QDateEdit;
class QGroupBox;
class QLabel;
class QPushButton;

namespace qo {

enum class QuickPeriod { Today, ThisWeek, ThisMonth, LastMonth, ThisYear, LastYear };

// The from- and to-date a quick button sets, counted from `today`.
QPair<QDate, QDate> QuickPeriodRange(QuickPeriod which, const QDate &today);

// The day the quick buttons count from: the system date unless a fixed day
// was set (an invalid date returns to the system date).
QDate PeriodToday();
void SetPeriodToday(const QDate &day);

class PeriodDialog : public QDialog {
    Q_OBJECT
public:
    explicit PeriodDialog(QWidget *parent = nullptr);

    void applyQuick(QuickPeriod which);

    QGroupBox *GroupBox1 = nullptr; // Időszak
    QDateEdit *fromDate = nullptr;  // from
    QDateEdit *toDate = nullptr;    // to
    QGroupBox *GroupBox2 = nullptr; // Intervallum
    QPushButton *btnMa = nullptr;
    QPushButton *btnEzAHet = nullptr;
    QPushButton *btnEzAHonap = nullptr;
    QPushButton *btnMultHonap = nullptr;
    QPushButton *btnIden = nullptr;
    QPushButton *btnTavaly = nullptr;
    QPushButton *btnOK = nullptr;
    QPushButton *btnMegsem = nullptr;
    QLabel *Image1 = nullptr;
};

// Opens the dialog on `from` and `to`; after "OK" writes the chosen dates
// back and returns true, after "Mégsem" leaves them and returns false. A
// caption that is not empty replaces the window caption.
bool AskPeriod(QDate &from, QDate &to, const QString &caption = {}, QWidget *parent = nullptr);

} // namespace qo
