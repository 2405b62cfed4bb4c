#pragma once
// The panel at the bottom of the main window that shows one unread message
// placed in the database, with its link and the two acknowledging buttons.
#include <QFrame>

class QLabel;
class QPushButton;

namespace qo {

class MessagePanel : public QFrame {
    Q_OBJECT
public:
    explicit MessagePanel(QWidget *parent = nullptr);
    // Shows the first unread message; false when there is none.
    bool showPending();
    qint64 messageKey() const { return m_key; }
    QLabel *textLabel() const { return m_text; }
    QLabel *linkLabel() const { return m_link; }
    QPushButton *okButton() const { return m_btn1; }
    QPushButton *neverAgainButton() const { return m_btn2; }

private:
    void acknowledge(bool never);
    qint64 m_key = -1;
    bool m_showOnce = false;
    QLabel *m_text;
    QLabel *m_link;
    QPushButton *m_btn1;
    QPushButton *m_btn2;
};

} // namespace qo
