#pragma once
// The option dialog: one question with a few named answers ("Munkalap
// típusa", "Nyomtatás típusa", ...), one radio button per answer.
#include <QByteArray>
#include <QDialog>
#include <QPixmap>
#include <QStringList>
#include <QVector>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace qo {

// The labels an options text yields: pieces separated by "," or ";", only
// the first 20 pieces looked at, blank pieces skipped, order kept.
QStringList ChooseOptionPieces(const QString &options);

class OptionDialog : public QDialog {
    Q_OBJECT
public:
    explicit OptionDialog(const QStringList &labels, const QString &caption, QWidget *parent = nullptr);

    void setSelectedIndex(int index); // -1 selects none
    int selectedIndex() const;        // -1 when none is selected

    QGroupBox *optionGroup = nullptr;
    QVector<QRadioButton *> options;
    QLabel *Image1 = nullptr;
    QPushButton *okButton = nullptr;     // OK
    QPushButton *cancelButton = nullptr; // Mégsem

protected:
    void showEvent(QShowEvent *e) override;

private:
    QButtonGroup *m_group = nullptr;
};

// Shows the options of `options` under `caption` with `initialIndex`
// selected; the 0-based position of the chosen option after "OK", -1 after
// "Mégsem" or when nothing was selected.
int ChooseOption(int initialIndex, const QString &options, const QString &caption, QWidget *parent = nullptr);

} // namespace qo
