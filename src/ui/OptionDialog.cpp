#include "ui/OptionDialog.h"
#include "ui/WindowKeys.h"

#include "ui/WindowBehaviour.h"
#include "ui/Pictures.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace qo {

namespace {

constexpr int kMaxPieces = 20;
constexpr int kHeightPerOption = 48;
constexpr int kHeightExtra = 120;

} // namespace

QStringList ChooseOptionPieces(const QString &options)
{
    QStringList labels;
    int start = 0, piece = 0;
    for (int i = 0; i <= options.size() && piece < kMaxPieces; ++i) {
        if (i < options.size() && options[i] != QLatin1Char(',') && options[i] != QLatin1Char(';'))
            continue;
        const QString label = options.mid(start, i - start).trimmed();
        ++piece;
        if (!label.isEmpty())
            labels << label;
        start = i + 1;
    }
    return labels;
}


OptionDialog::OptionDialog(const QStringList &labels, const QString &caption, QWidget *parent) : QDialog(parent)
{
    setObjectName(WindowKeys::kOptionDialog);
    setWindowTitle(caption);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setSizeGripEnabled(true);

    optionGroup = new QGroupBox(caption, this);
    optionGroup->setObjectName(QStringLiteral("RadioGroup1"));
    auto *opts = new QVBoxLayout(optionGroup);
    m_group = new QButtonGroup(this);
    m_group->setExclusive(true);
    for (int i = 0; i < labels.size(); ++i) {
        QString text = labels[i];
        text.replace(QLatin1Char('&'), QStringLiteral("&&")); // not a mnemonic
        auto *b = new QRadioButton(text, optionGroup);
        b->setObjectName(QStringLiteral("Option%1").arg(i));
        opts->addWidget(b);
        m_group->addButton(b, i);
        options << b;
    }
    opts->addStretch();

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(DecorativePicture(QStringLiteral("choice"), 56, 70));
    Image1->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    okButton = new QPushButton(QStringLiteral("OK"), this);
    okButton->setObjectName(QStringLiteral("Button1"));
    okButton->setDefault(true);
    cancelButton = new QPushButton(QStringLiteral("Mégsem"), this);
    cancelButton->setObjectName(QStringLiteral("Button2"));
    // Left auto-default: Enter on the focused "Mégsem" presses it, not "OK".
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);

    auto *side = new QVBoxLayout;
    side->addWidget(Image1);
    side->addStretch();
    side->addWidget(okButton);
    side->addWidget(cancelButton);
    auto *main = new QHBoxLayout(this);
    main->addWidget(optionGroup, 1);
    main->addLayout(side);

    // Enter is "OK" here (the default button), so it must reach the dialog.
    InstallFormBehaviour(this, Placement::Position, FormOption::FocusColour | FormOption::EscCancels | FormOption::FontSize);
    resize(qMax(320, sizeHint().width()), kHeightPerOption * int(labels.size()) + kHeightExtra);
}

void OptionDialog::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    // The height always follows the number of options.
    resize(width(), qMax(minimumSizeHint().height(), kHeightPerOption * int(options.size()) + kHeightExtra));
    if (QAbstractButton *b = m_group->checkedButton())
        b->setFocus();
    else if (!options.isEmpty())
        options.first()->setFocus();
}

void OptionDialog::setSelectedIndex(int index)
{
    if (index >= 0 && index < options.size()) {
        options[index]->setChecked(true);
        return;
    }
    // An exclusive group cannot be emptied by unchecking one button.
    m_group->setExclusive(false);
    for (QRadioButton *b : std::as_const(options))
        b->setChecked(false);
    m_group->setExclusive(true);
}

int OptionDialog::selectedIndex() const
{
    return m_group->checkedId();
}

int ChooseOption(int initialIndex, const QString &options, const QString &caption, QWidget *parent)
{
    OptionDialog dlg(ChooseOptionPieces(options), caption, parent);
    dlg.setSelectedIndex(initialIndex);
    if (dlg.exec() != QDialog::Accepted)
        return -1;
    return dlg.selectedIndex();
}

} // namespace qo
