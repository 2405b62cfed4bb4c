#include "ui/MessageBoxes.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <utility>

namespace qo {

namespace {

QList<BoxAnswer> &nextAnswers()
{
    static QList<BoxAnswer> answers;
    return answers;
}

QList<AnsweredBox> &answeredBoxes()
{
    static QList<AnsweredBox> boxes;
    return boxes;
}

QMessageBox::StandardButton showBox(QMessageBox::Icon icon, const QString &caption, const QString &text,
                                    QMessageBox::StandardButtons buttons,
                                    QMessageBox::StandardButton defaultButton, QWidget *owner,
                                    bool reactivate)
{
    if (!nextAnswers().isEmpty()) {
        answeredBoxes().push_back({caption, text});
        switch (nextAnswers().takeFirst()) {
        case BoxAnswer::Yes:
            return QMessageBox::Yes;
        case BoxAnswer::No:
            return QMessageBox::No;
        case BoxAnswer::Ok:
            return QMessageBox::Ok;
        }
    }

    // The window that was active before the box, given back its activation
    // afterwards (it may have been closed meanwhile, hence the guard).
    QPointer<QWidget> previous = reactivate ? QApplication::activeWindow() : nullptr;

    QMessageBox box(icon, caption, text, buttons, owner);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(defaultButton);
    if (buttons.testFlag(QMessageBox::No))
        box.setEscapeButton(QMessageBox::No);
    box.exec();
    const auto answer = box.standardButton(box.clickedButton());

    if (previous && previous->isVisible())
        previous->activateWindow();
    return answer;
}

} // namespace

bool AskConfirm(const QString &text, const QString &caption, QWidget *owner)
{
    return showBox(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No,
                   QMessageBox::Yes, owner, true)
        == QMessageBox::Yes;
}

void ShowError(const QString &text, QWidget *owner)
{
    showBox(QMessageBox::Critical, QStringLiteral("Hiba"), text, QMessageBox::Ok, QMessageBox::Ok, owner,
            true);
}

void ShowWarning(const QString &text, QWidget *owner)
{
    showBox(QMessageBox::Warning, QStringLiteral("Figyelmeztetés"), text, QMessageBox::Ok, QMessageBox::Ok,
            owner, false);
}

void ShowInfo(const QString &text, QWidget *owner)
{
    showBox(QMessageBox::Information, QStringLiteral("Üzenet"), text, QMessageBox::Ok, QMessageBox::Ok,
            owner, false);
}

void SetNextAnswer(BoxAnswer answer)
{
    nextAnswers().push_back(answer);
}

void ClearNextAnswers()
{
    nextAnswers().clear();
}

QList<AnsweredBox> TakeAnsweredBoxes()
{
    return std::exchange(answeredBoxes(), {});
}

} // namespace qo
