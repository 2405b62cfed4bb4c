#pragma once
// "Hírek" (frm_Hirfolyam): news for the shop from the maker's web service, in
// a light-blue window that stays open beside the work, with a link to the
// whole article. Its "Többet ne mutassa" stores the news as acknowledged;
// Enter is "OK". Its placement (Left, Top of the frame, Width, Height) is
// stored under its object name.
#include <QWidget>

class QCheckBox;
class QLabel;
class QPushButton;
class QScrollArea;

namespace qo {

class NewsWindow : public QWidget {
    Q_OBJECT
public:
    // Frees itself when closed.
    NewsWindow(int id, const QString &title, const QString &text, QWidget *parent = nullptr);
    QLabel *titleLabel = nullptr;
    QLabel *textLabel = nullptr;
    QScrollArea *textArea = nullptr; // the text scrolls in it
    QLabel *linkLabel = nullptr;
    QCheckBox *dontShowBox = nullptr; // "Többet ne mutassa"
    QPushButton *okButton = nullptr;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void onOk();
    int m_id;
};

// The news check, run once a few seconds after start: asks the service for
// news newer than the acknowledged one and shows it without blocking.
// Returns the window shown, or nullptr when there is nothing to show or the
// service cannot be reached. A database error is thrown as qo::Error.
NewsWindow *CheckNews(QWidget *parent = nullptr);

} // namespace qo
