#pragma once
// "Korábbi receptek": every stored state of one client's prescription of one
// kind, newest (the current one) first, changed values marked; printed and
// exported like every list.
#include "clients/PrescriptionHistory.h"
#include "ui/GridModel.h"

#include <QDialog>
#include <memory>

class QWidget;

namespace qo {

namespace Ui {
class PrescriptionHistoryWindow;
}

class Grid;

// The grid's model: the lines with their marks as the font (bold) and the
// text colour (red for a strong mark).
class PrescriptionHistoryModel : public GridModel {
    Q_OBJECT
public:
    using GridModel::GridModel;
    void setHistory(PrescriptionHistory history);
    const PrescriptionHistory &history() const { return m_history; }
    // The mark of a model cell (None for the date and user columns).
    ValueMark markAt(int row, int column) const;
    QVariant data(const QModelIndex &index, int role) const override;

    static QColor strongColour() { return QColor(200, 0, 0); }

private:
    PrescriptionHistory m_history;
};

class PrescriptionHistoryWindow : public QDialog {
    Q_OBJECT
public:
    PrescriptionHistoryWindow(qint64 client, int kind, QWidget *parent = nullptr);
    ~PrescriptionHistoryWindow() override;

    // Reads the history of the kind (index into kPrescriptionKinds); false
    // after a message when it could not be read.
    bool showKind(int kind);
    int kind() const { return m_kind; }

    Grid *grid() const { return m_grid; }
    PrescriptionHistoryModel *model() const { return m_model; }
    QWidget *kindBox() const;
    QWidget *printButton() const;
    QWidget *previewButton() const;
    QWidget *exportButton() const;
    QWidget *closeButton() const;
    QString currentText() const; // the current prescription as shown above the grid

protected:
    void showEvent(QShowEvent *e) override;

private:
    void print(bool print);
    void showCurrent();

    std::unique_ptr<Ui::PrescriptionHistoryWindow> m_ui;
    Grid *m_grid = nullptr;
    PrescriptionHistoryModel *m_model = nullptr;
    qint64 m_client = -1;
    int m_kind = 0;
    QString m_clientName;
};

// Opens "Korábbi receptek" for the client and the prescription kind (index
// into kPrescriptionKinds, 0 distance); the user may switch the kind there.
void ShowPrescriptionHistory(QWidget *parent, qint64 client, int kind = 0);

} // namespace qo
