#include "masterdata/MasterNameEditor.h"
#include "ui/WindowKeys.h"

#include "ui/WindowBehaviour.h"
#include "ui/TextGuards.h"
#include "ui/Pictures.h"
#include "ui/FormParts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

// The pictures are resources of a static library: registered by name.
static void initMasterDataResources()
{
    Q_INIT_RESOURCE(masterdata);
}

namespace qo {

bool IsPlainTableName(const QString &table)
{
    static const QRegularExpression re(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return re.match(table).hasMatch();
}

MasterNameEditor::MasterNameEditor(const QString &table, const QString &caption, QWidget *parent)
    : MasterRowDialog(table, parent), m_table(table)
{
    SetFixedDialogFrame(this, WindowKeys::kMasterNameEditor, caption);

    Image1 = new QLabel(this);
    initMasterDataResources();
    Image1->setPixmap(ResourcePicture(QStringLiteral(":/masterdata/tag.svg"), 48, 48));
    lblKulcs = new QLabel(this);
    lblKulcs->setObjectName(QStringLiteral("lblKulcs"));
    QFont small = lblKulcs->font();
    small.setPointSize(6);
    lblKulcs->setFont(small);
    lblKulcs->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    nameEdit = new QLineEdit(this);
    nameEdit->setObjectName(QStringLiteral("DBEdit1"));
    nameEdit->setMinimumWidth(nameEdit->fontMetrics().horizontalAdvance(QLatin1Char('M')) * 24);
    InstallCapitalizeFirst(nameEdit);
    captionLabel = new QLabel(caption, this);
    captionLabel->setBuddy(nameEdit);

    auto *pic = new QVBoxLayout;
    pic->addWidget(Image1);
    pic->addWidget(lblKulcs);
    pic->addStretch();
    auto *field = new QVBoxLayout;
    field->addWidget(captionLabel);
    field->addWidget(nameEdit);
    field->addStretch();
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnMegsem);
    field->addLayout(buttons);
    auto *main = new QHBoxLayout(this);
    main->addLayout(pic);
    main->addSpacing(8);
    main->addLayout(field, 1);
    main->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(nameEdit, btnOK);
    setTabOrder(btnOK, btnMegsem);
    InstallFormBehaviour(this, Placement::Position);
    nameEdit->setFocus();
}

bool MasterNameEditor::start(qint64 key)
{
    if (key == -1)
        m_row.startNew();
    else if (!m_row.load(key))
        return false;
    m_binder.bind(nameEdit, m_table + QStringLiteral("_nev"));
    m_binder.load();
    lblKulcs->setText(key == -1 ? QString() : QString::number(key));
    return true;
}

} // namespace qo
