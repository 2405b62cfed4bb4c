#pragma once
// The date question "Dátum megadása" (reminder and last-visit dates).
#include <QDate>
#include <QDialog>
#include <QString>

class QDateEdit;
class QTimeEdit;
class QLabel;

namespace qo {

class DateDialog : public QDialog {
    Q_OBJECT
public:
    explicit DateDialog(QWidget *parent = nullptr);

    QDateEdit *dateEdit = nullptr; // the date
    QTimeEdit *timeEdit = nullptr; // a time, never shown
    QLabel *Image1 = nullptr;
};

// Shows the date dialog on `date`; true after "OK" with the picked date in
// `date`, false after "Mégsem" (date unchanged). A non-empty caption replaces
// the window caption.
bool AskDate(QDate &date, const QString &caption = {}, QWidget *parent = nullptr);

} // namespace qo
