#include "mainwindow/MessagePanel.h"
#include "startup/ShopStore.h"
#include "db/Connection.h"
#include "ui/MessageBoxes.h"
#include "platform/Desktop.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace qo {

MessagePanel::MessagePanel(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("pUzenet"));
    setAutoFillBackground(true);
    // The text, the link under it and the buttons below them; the text is as
    // wide as the panel minus 48 pixels (the 3-pixel border and 21 on each side).
    auto *v = new QVBoxLayout(this);
    v->setContentsMargins(21, 5, 21, 5);
    m_text = new QLabel(this);
    m_text->setWordWrap(true);
    m_text->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_link = new QLabel(this);
    m_link->setCursor(Qt::PointingHandCursor);
    v->addWidget(m_text, 1);
    v->addWidget(m_link);
    auto *buttons = new QHBoxLayout;
    m_btn1 = new QPushButton(QStringLiteral("Rendben"), this);
    m_btn1->setObjectName(QStringLiteral("BtnUzenet1"));
    m_btn2 = new QPushButton(QStringLiteral("Rendben\ntöbbet ne figyelmeztessen"), this);
    m_btn2->setObjectName(QStringLiteral("BtnUzenet2"));
    buttons->addWidget(m_btn1);
    buttons->addWidget(m_btn2);
    buttons->addStretch(1);
    v->addLayout(buttons);
    connect(m_btn1, &QPushButton::clicked, this, [this] { acknowledge(false); });
    connect(m_btn2, &QPushButton::clicked, this, [this] { acknowledge(true); });
    connect(m_link, &QLabel::linkActivated, this, [](const QString &l) { OpenDocument(l); });
}

bool MessagePanel::showPending()
{
    const RowSet rs = ShopStore(Connection::main()).pendingMessages();
    if (rs.rowCount() == 0)
        return false;
    const bool repeatable = rs.text(0, QStringLiteral("csakegyszer")) == QLatin1String("N");
    const QColor bg = repeatable ? QColor(0, 128, 192) : QColor(255, 128, 128);
    setStyleSheet(QStringLiteral("#pUzenet { background: %1; border: 3px solid white; }"
                                 "#pUzenet QLabel { color: white; }").arg(bg.name()));
    QFont f = m_text->font();
    f.setBold(true);
    f.setPixelSize(15);
    m_text->setFont(f);
    m_btn2->setVisible(repeatable);
    m_showOnce = !repeatable;
    m_key = rs.toInt(0, QStringLiteral("uzenet"), -1);
    m_text->setText(rs.text(0, QStringLiteral("szoveg")));
    const QString link = rs.text(0, QStringLiteral("link"));
    m_link->setText(QStringLiteral("<a href=\"%1\" style=\"color: white;\">%2</a>")
                        .arg(link.toHtmlEscaped(), link.toHtmlEscaped()));
    m_link->setVisible(!link.isEmpty());
    show();
    raise();
    return true;
}

void MessagePanel::acknowledge(bool never)
{
    hide();
    // A show-once message has only "Rendben": seeing it once is reading it.
    never = never || m_showOnce;
    try {
        ShopStore(Connection::main()).acknowledgeMessage(m_key, never);
    } catch (const Error &e) {
        ShowError(e.message(), window());
    }
}

} // namespace qo
