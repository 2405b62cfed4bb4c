#pragma once
// The four message boxes every window speaks through. Texts are shown as
// plain text, exactly as given.
#include <QList>
#include <QString>

class QWidget;

namespace qo {

// Question box with Yes and No (Yes is the default, Esc answers No); true on Yes.
bool AskConfirm(const QString &text, const QString &caption, QWidget *owner = nullptr);
void ShowError(const QString &text, QWidget *owner = nullptr);   // "Hiba"
void ShowWarning(const QString &text, QWidget *owner = nullptr); // "Figyelmeztetés"
void ShowInfo(const QString &text, QWidget *owner = nullptr);    // "Üzenet"

// A seam for tests (as KeePassXC's MessageBox::setNextAnswer): while answers
// are queued here, each box asked for above is not shown but answered with
// the next one, and its caption and text are kept. Without a queued answer
// every box is shown as always.
enum class BoxAnswer { Ok, Yes, No };
struct AnsweredBox {
    QString caption;
    QString text;
};
void SetNextAnswer(BoxAnswer answer);
void ClearNextAnswers();
QList<AnsweredBox> TakeAnsweredBoxes(); // oldest first; the list starts empty again

} // namespace qo
