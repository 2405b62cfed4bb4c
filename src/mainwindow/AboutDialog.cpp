#include "base/Version.h"
#include "mainwindow/AboutDialog.h"
#include "ui/WindowKeys.h"
#include "ui/WindowBehaviour.h"
#include "ui/Pictures.h"
#include "platform/Desktop.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace qo {

void ShowAboutBox(QWidget *parent)
{
    QDialog d(parent);
    d.setObjectName(WindowKeys::kAboutDialog);
    d.setWindowTitle(QStringLiteral("Névjegy"));
    auto *h = new QHBoxLayout(&d);
    auto *pic = new QGroupBox(QStringLiteral("Optika"), &d);
    auto *pv = new QVBoxLayout(pic);
    auto *img = new QLabel(pic);
    img->setPixmap(DecorativePicture(QStringLiteral("logo"), 140, 160));
    pv->addWidget(img);
    h->addWidget(pic);
    auto *v = new QVBoxLayout;
    auto *name = new QLabel(QStringLiteral("Quorvin.Opt\nV") + QLatin1String(kProgramVersion), &d);
    QFont f = name->font();
    f.setBold(true);
    f.setPointSize(f.pointSize() + 4);
    name->setFont(f);
    v->addWidget(name);
    auto *maker = new QLabel(QStringLiteral("Optikai nyilvántartó program\n\nMirelta\n%1\n%2")
                                 .arg(MakerHomePage(), MakerMailAddress()), &d);
    maker->setTextInteractionFlags(Qt::TextSelectableByMouse);
    v->addWidget(maker);
    v->addStretch(1);
    auto *ok = new QPushButton(QStringLiteral("OK"), &d);
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, &d, &QDialog::accept);
    v->addWidget(ok, 0, Qt::AlignRight);
    h->addLayout(v, 1);
    InstallFormBehaviour(&d, Placement::Position);
    d.exec();
}

} // namespace qo
