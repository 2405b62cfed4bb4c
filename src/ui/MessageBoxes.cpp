#include "ui/MessageBoxes.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>

namespace qo {

namespace {

QMessageBox::StandardButton showBox(QMessageBox::Icon icon, const QString &caption, const QString &text,
                                    QMessageBox::StandardButtons buttons,
                                    QMessageBox::StandardButton defaultButton, QWidget *owner,
                                    bool reactivate)
{
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

} // namespace qo
