#include "masterdata/MasterNameEditor.h"
#include "ui/WindowKeys.h"

#include "ui/FormBehaviour.h"
#include "ui/FormParts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

namespace qo {

namespace {

// A price tag on a string.
const char kTagPicture[] = R"(<svg xmlns="http://www.w3.org/2000/svg" width="64" height="64" viewBox="0 0 64 64">
  <path d="M30 6h24a4 4 0 0 1 4 4v24L30 62 2 34z" fill="#f6e7b0" stroke="#7a5c1e" stroke-width="2.5" stroke-linejoin="round"/>
  <circle cx="46" cy="18" r="5" fill="#ffffff" stroke="#7a5c1e" stroke-width="2.5"/>
  <g stroke="#b08a3a" stroke-width="3" stroke-linecap="round"><path d="M20 34l12-12M26 40l10-10"/></g>
</svg>)";

} // namespace

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
    Image1->setPixmap(SvgPicture(QByteArray(kTagPicture), 48, 48));
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
