#include "masterdata/WorkOrderTypeEditor.h"
#include "ui/WindowKeys.h"

#include "ui/FormBehaviour.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace qo {

WorkOrderTypeEditor::WorkOrderTypeEditor(QWidget *parent)
    : MasterRowDialog(QStringLiteral("mlaptipus"), parent)
{
    setObjectName(WindowKeys::kWorkOrderTypeEditor);
    setWindowTitle(QStringLiteral("Munkalap típus szerkesztése"));
    setWindowFlags((windowFlags() | Qt::WindowMaximizeButtonHint) & ~Qt::WindowContextHelpButtonHint);
    setSizeGripEnabled(true);

    DBEdit1 = new QLineEdit(this);
    DBEdit1->setObjectName(QStringLiteral("DBEdit1"));
    DBEdit1->setReadOnly(true);
    DBEdit1->setFocusPolicy(Qt::NoFocus); // skipped by Tab
    QFont big = DBEdit1->font();
    big.setPointSize(big.pointSize() + 4);
    big.setBold(true);
    DBEdit1->setFont(big);
    QPalette p = DBEdit1->palette();
    p.setColor(QPalette::Base, p.color(QPalette::Window));
    DBEdit1->setPalette(p);

    DBMemo1 = new QPlainTextEdit(this);
    DBMemo1->setObjectName(QStringLiteral("DBMemo1"));
    DBMemo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    mono.setPointSize(WindowFontSize());
    DBMemo1->setFont(mono);
    DBMemo1->setMinimumSize(DBMemo1->fontMetrics().horizontalAdvance(QLatin1Char('M')) * 40,
                            DBMemo1->fontMetrics().lineSpacing() * 6);

    auto *top = new QGridLayout;
    top->addWidget(new QLabel(QStringLiteral("Munkalap típus"), this), 0, 0);
    top->addWidget(DBEdit1, 1, 0);
    auto *textLabel = new QLabel(QStringLiteral("Szöveg a munkalapon"), this);
    textLabel->setBuddy(DBMemo1);
    top->addWidget(textLabel, 2, 0);
    top->addWidget(btnOK, 1, 1);
    top->addWidget(btnMegsem, 1, 2);
    top->setColumnStretch(0, 1);
    auto *main = new QVBoxLayout(this);
    main->addLayout(top);
    main->addWidget(DBMemo1, 1);

    resize(DBMemo1->fontMetrics().horizontalAdvance(QLatin1Char('M')) * 80,
           DBMemo1->fontMetrics().lineSpacing() * 20);
    setTabOrder(DBMemo1, btnOK);
    setTabOrder(btnOK, btnMegsem);
    InstallFormBehaviour(this, Placement::Full);
}

bool WorkOrderTypeEditor::load(qint64 key)
{
    if (!m_row.load(key))
        return false;
    DBEdit1->setText(m_row.text(QStringLiteral("mlaptipus_nev")));
    m_binder.bind(DBMemo1, QStringLiteral("szoveg"));
    m_binder.load();
    return true;
}

void WorkOrderTypeEditor::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    DBMemo1->setFocus(Qt::OtherFocusReason);
}

} // namespace qo
