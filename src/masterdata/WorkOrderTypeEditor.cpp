#include "masterdata/WorkOrderTypeEditor.h"
#include "ui/WindowKeys.h"

#include "ui/WindowBehaviour.h"

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

    typeName = new QLineEdit(this);
    typeName->setObjectName(QStringLiteral("DBEdit1"));
    typeName->setReadOnly(true);
    typeName->setFocusPolicy(Qt::NoFocus); // skipped by Tab
    QFont big = typeName->font();
    big.setPointSize(big.pointSize() + 4);
    big.setBold(true);
    typeName->setFont(big);
    QPalette p = typeName->palette();
    p.setColor(QPalette::Base, p.color(QPalette::Window));
    typeName->setPalette(p);

    printedText = new QPlainTextEdit(this);
    printedText->setObjectName(QStringLiteral("DBMemo1"));
    printedText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    mono.setPointSize(WindowFontSize());
    printedText->setFont(mono);
    printedText->setMinimumSize(printedText->fontMetrics().horizontalAdvance(QLatin1Char('M')) * 40,
                            printedText->fontMetrics().lineSpacing() * 6);

    auto *top = new QGridLayout;
    top->addWidget(new QLabel(QStringLiteral("Munkalap típus"), this), 0, 0);
    top->addWidget(typeName, 1, 0);
    auto *textLabel = new QLabel(QStringLiteral("Szöveg a munkalapon"), this);
    textLabel->setBuddy(printedText);
    top->addWidget(textLabel, 2, 0);
    top->addWidget(btnOK, 1, 1);
    top->addWidget(btnMegsem, 1, 2);
    top->setColumnStretch(0, 1);
    auto *main = new QVBoxLayout(this);
    main->addLayout(top);
    main->addWidget(printedText, 1);

    resize(printedText->fontMetrics().horizontalAdvance(QLatin1Char('M')) * 80,
           printedText->fontMetrics().lineSpacing() * 20);
    setTabOrder(printedText, btnOK);
    setTabOrder(btnOK, btnMegsem);
    InstallFormBehaviour(this, Placement::Full);
}

bool WorkOrderTypeEditor::load(qint64 key)
{
    if (!m_row.load(key))
        return false;
    typeName->setText(m_row.text(QStringLiteral("mlaptipus_nev")));
    m_binder.bind(printedText, QStringLiteral("szoveg"));
    m_binder.load();
    return true;
}

void WorkOrderTypeEditor::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    printedText->setFocus(Qt::OtherFocusReason);
}

} // namespace qo
