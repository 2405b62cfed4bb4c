#include "export/VersionNotes.h"
#include "base/Text.h"
#include "base/Version.h"
#include "config/Config.h"
#include "db/Connection.h"
#include "export/OnlineService.h"
#include "export/ServiceStore.h"
#include "ui/FormParts.h"
#include "ui/WindowBehaviour.h"
#include "ui/WindowKeys.h"

#include <QCheckBox>
#include <QDir>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace qo {

int BuildNumber(const QString &version)
{
    return TextToIntLoose(FieldPart(QStringLiteral("."), version, 4));
}

VersionNotesWindow::VersionNotesWindow(const QString &version, const QString &notes, QWidget *parent)
    : QDialog(parent), m_version(version)
{
    setObjectName(WindowKeys::kVersionNotes);
    setWindowTitle(QStringLiteral("Verziókövetés: ") + version);
    setSizeGripEnabled(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(248, 192, 184));
    setPalette(pal);
    setAutoFillBackground(true);

    auto *heading = new QLabel(QStringLiteral("Új verzió megjelenés"));
    QFont hf = heading->font();
    hf.setBold(true);
    hf.setPointSize(14);
    heading->setFont(hf);
    heading->setAlignment(Qt::AlignCenter);
    // Long notes scroll inside the window; the window itself fits the screen.
    const ScrollingText scrolling = MakeScrollingText(notes);
    notesLabel = scrolling.label;
    notesArea = scrolling.area;
    dontWarnBox = new QCheckBox(QStringLiteral("Többet ne figyelmeztessen"));
    okButton = new QPushButton(QStringLiteral("OK"));
    okButton->setDefault(true);

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(dontWarnBox);
    bottom->addStretch();
    bottom->addWidget(okButton);
    auto *outer = new QVBoxLayout(this);
    outer->addWidget(heading);
    outer->addWidget(notesArea, 1);
    outer->addLayout(bottom);
    resize(460, 320);
    setMaximumSize(WorkArea().size());

    connect(okButton, &QPushButton::clicked, this, &VersionNotesWindow::onOk);
    InstallFormBehaviour(this, Placement::None, FormOption::EscCancels | FormOption::FontSize);
    // Placed before the window exists on screen, so that the stored point is
    // the frame's, and kept wholly on the screen.
    move(ClampToWorkArea(QRect(RestoreWindowPosition(objectName()), size())).topLeft());
    // The heading keeps its own size whatever the window's font.
    heading->setFont(hf);
    okButton->setFocus();
}

void VersionNotesWindow::hideEvent(QHideEvent *event)
{
    QDialog::hideEvent(event);
    if (!event->spontaneous())
        SaveWindowPosition(objectName(), x(), y()); // the frame's position
}

void VersionNotesWindow::onOk()
{
    if (dontWarnBox->isChecked())
        ServiceStore(Connection::main()).acknowledgeVersion(m_version);
    accept();
}

void CheckNewVersion(QWidget *parent)
{
    QString answer;
    if (!FetchServiceAnswer(VersionAnswerUrl(), QDir(DataFolder()).filePath(QStringLiteral("Verkov.txt")), &answer))
        return;
    const QString own = QString::fromLatin1(kProgramVersion);
    const QString acknowledged = ServiceStore(Connection::main()).acknowledgedVersion(own);
    const std::optional<VersionAnswer> announced = ParseVersionAnswer(answer);
    if (!announced)
        return; // not a version: a web page in place of the answer ...
    const int a = BuildNumber(acknowledged), b = BuildNumber(own), c = BuildNumber(announced->version);
    if (c <= qMax(a, b))
        return;
    VersionNotesWindow w(announced->version, announced->notes, parent);
    w.exec();
}

} // namespace qo
