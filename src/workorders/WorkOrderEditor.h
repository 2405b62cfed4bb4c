#pragma once
// The work-order editor "Munkalap": one order's prescription values, lens and
// frame, every price item, the deposit, and the total and amount due that it
// recomputes whenever the user leaves an input field.
#include "ui/FieldBinder.h"
#include "workorders/WorkOrderPrice.h"

#include <QDialog>
#include <QMap>

#include <memory>

class QLineEdit;

namespace qo {

namespace Ui {
class WorkOrderEditor;
}

class FieldDateEdit;
class FieldEdit;
class NumberEdit;

// The heading of a work-order type: "Szemüveg - távol", "Szemüveg - közel",
// "Szemüveg - Speciális", "Kontaktlencse"; "Távol" for any other value.
QString WorkOrderTypeHeading(int type);

class WorkOrderEditor : public QDialog {
    Q_OBJECT
public:
    explicit WorkOrderEditor(QWidget *parent = nullptr);
    ~WorkOrderEditor() override;

    // Reads the order and fills the window; false when it does not exist.
    bool loadOrder(qint64 key, int type);
    qint64 key() const { return m_row.key(); }
    const RecordEditor &row() const { return m_row; }

    // The input field bound to a column (line edits, number fields), or null.
    QLineEdit *field(const QString &column) const;
    NumberEdit *numberField(const QString &column) const;

    // Stores every field into the row and recomputes osszar and fizetendo.
    void recalculate();

protected:
    void showEvent(QShowEvent *e) override;

private:
    void buildLayout();
    void bindField(FieldEdit *e, int minChars);
    void fieldLeft(QWidget *w);
    void storeFields();
    void showTotals();
    void showBrandNames();
    void chooseBrand(const QString &table, const QString &caption, QWidget *next);
    void okClick();
    // Stores the order and lets the server complete it; false when nothing
    // was stored (the user has been told why).
    bool save();
    bool eyeValuesValid(); // false, after a message, for "nan", "1e400" ...
    void printClick(bool print);

    const std::unique_ptr<Ui::WorkOrderEditor> m_ui;
    RecordEditor m_row;
    FieldBinder m_binder;
    QMap<QString, FieldEdit *> m_texts;    // text columns
    QMap<QString, NumberEdit *> m_numbers; // float columns (money and percentages)
    bool m_shownOnce = false;
    bool m_bound = false;                  // fields tied to their columns
};

// The text shown when the order to edit is no longer in the database.
QString WorkOrderMissingText();

// Opens the work-order editor.
//  key: the order to edit, or -1 for a new one;
//  client: the client of a new order; when both key and client are -1 the
//          client picker asks first, and cancelling it returns 0 without
//          creating anything;
//  type: 1..4, the type of a new order (an existing order shows its own).
// A new order is created on the server by sp_ujmunkalap before the window
// opens and deleted again when the user cancels. Returns the order's key
// after "OK", -1 after "Mégsem" (also when the order could not be opened; a
// database error has then been shown).
qint64 EditWorkOrder(qint64 key, qint64 client, int type, QWidget *parent = nullptr);

} // namespace qo
