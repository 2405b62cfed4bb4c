#include "ui/InputDialog.h"

#include "ui/WindowBehaviour.h"
#include "ui/TextGuards.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <cmath>

namespace qo {

bool InputDialog(const QString &caption, const QString &prompt, QString &value, QWidget *parent)
{
    QDialog dlg(parent);
    dlg.setObjectName(QStringLiteral("InputDialog"));
    dlg.setWindowTitle(caption);
    dlg.setWindowFlags((dlg.windowFlags() | Qt::MSWindowsFixedSizeDialogHint) & ~Qt::WindowContextHelpButtonHint);
    QFont font = dlg.font();
    font.setPointSize(WindowFontSize());
    dlg.setFont(font);

    // Measures in dialog units of the dialog font: a quarter of the average
    // letter width across, an eighth of the line height down.
    const QFontMetrics fm(font);
    const int baseW = fm.horizontalAdvance(
                          QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) / 52;
    const int baseH = fm.height();
    auto w = [baseW](int x) { return int(std::lround(x * baseW / 4.0)); };
    auto h = [baseH](int y) { return int(std::lround(y * baseH / 8.0)); };

    auto *label = new QLabel(prompt, &dlg);
    label->setWordWrap(true);
    const int labelH = label->heightForWidth(w(164));
    label->setGeometry(w(8), h(8), w(164), labelH > 0 ? labelH : fm.height());

    auto *edit = new QLineEdit(&dlg);
    edit->setMaxLength(255);
    InstallStorableText(edit);
    edit->setText(value);
    edit->selectAll();
    const int editTop = label->geometry().bottom() + 1 + 5;
    edit->setGeometry(w(8), editTop, w(164), edit->sizeHint().height());

    const int buttonTop = edit->geometry().bottom() + 1 + 15;
    auto *ok = new QPushButton(QStringLiteral("OK"), &dlg);
    ok->setDefault(true);
    ok->setGeometry(w(38), buttonTop, w(50), std::max(h(14), ok->minimumSizeHint().height()));
    auto *cancel = new QPushButton(QStringLiteral("Mégsem"), &dlg);
    cancel->setGeometry(w(92), buttonTop, w(50), ok->height());
    QObject::connect(ok, &QPushButton::clicked, &dlg, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, &dlg, &QDialog::reject);

    dlg.setFixedSize(w(180), ok->geometry().bottom() + 1 + 13);

    // Centred on the screen, not on the parent.
    QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        const QRect area = screen->availableGeometry();
        dlg.move(area.center() - QPoint(dlg.width() / 2, dlg.height() / 2));
    }
    edit->setFocus();

    if (dlg.exec() != QDialog::Accepted)
        return false;
    value = edit->text();
    return true;
}

} // namespace qo
