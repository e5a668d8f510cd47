#pragma once

#include "dataset/DataPacket.h"

#include <optional>

class QIODevice;

// An in-memory table: a field list, rows, a cursor, an edit buffer, a change log, and an
// order by one field with an optional range on it. Field names are looked up without
// regard to case; a missing name raises an error naming it.
//
// Null is distinct from empty: a null integer reads 0, null text and null bytes read
// empty. Strings are cut to their field's size in code page 949 bytes when set.
//
// Change log: every change after the last load, merge or empty can be taken back with
// cancelUpdates(); mergeChangeLog() makes the changes permanent.
//
// Navigating, merging, saving and changing the order or range first post a row that is
// being edited, so typed values are never dropped by moving on.
class DataSet {
public:
    enum class State { Browse, Edit, Insert };

    // A closed dataset: it has no field list until a packet is loaded or one is copied in.
    DataSet() = default;
    // An open, empty dataset.
    explicit DataSet(QList<FieldDef> fields);

    bool isActive() const { return active_; }
    const QList<FieldDef>& fields() const { return fields_; }
    int findField(QStringView name) const;   // -1 when there is none
    int fieldIndex(QStringView name) const;  // raises when there is none

    // Values of the current row, or of the row being edited. With no current row every
    // field reads null.
    bool isNull(QStringView name) const;
    QString asString(QStringView name) const;  // text fields; integers as decimal
    qint32 asInteger(QStringView name) const;
    QByteArray asBytes(QStringView name) const;

    // Only while a row is appended or edited.
    void setString(QStringView name, const QString& value);
    void setInteger(QStringView name, qint32 value);
    void setBytes(QStringView name, const QByteArray& value);
    void setNull(QStringView name);

    // The cursor walks the rows in view: all rows in row order, or in the order set, and
    // only those in the range when one is set.
    void first();
    void next();
    bool eof() const { return eof_; }
    int recordCount() const;
    bool isEmpty() const { return recordCount() == 0; }
    int position() const { return view_.isEmpty() ? -1 : pos_; }  // from 0
    void moveTo(int position);

    State state() const { return state_; }
    void append();  // a new row of nulls; posting adds it after the last row
    void edit();
    void post();
    void cancel();
    void deleteRecord();  // the current row; the cursor stays at the same position

    void emptyDataSet();  // removes every row, the change log with it
    // Takes the source's field list, rows and change log; order and range are lifted.
    void copyFrom(const DataSet& source);
    void mergeChangeLog();
    void cancelUpdates();

    // An empty name goes back to row order. The order is stable: rows with equal values
    // keep their row order. Nulls come first.
    void setOrder(QStringView fieldName);
    // Restricts the view to rows whose order field equals key exactly (null matches no key).
    void setRange(const QString& key);
    void cancelRange();

    // Always writes all rows, in row order, whatever order and range are in force.
    QByteArray toPacket(PacketForm form = PacketForm::Xml);
    void save(QIODevice& device, PacketForm form = PacketForm::Xml);
    // Replaces field list and rows with the packet's; order and range are lifted and the
    // cursor is on the first row. A packet that cannot be read leaves the dataset as it was.
    void loadPacket(QByteArrayView bytes);
    void load(QIODevice& device);

private:
    void requireActive() const;
    void requireEditing(int field) const;
    void postPending();
    const FieldRow* currentRow() const;
    const FieldValue* value(QStringView name, int* field) const;
    void setValue(QStringView name, FieldValue value, FieldType wanted);
    void adopt(DataPacket packet);
    void rebuildView(int keepRow = -1);
    void placeNewRow(int row);
    [[noreturn]] void typeMismatch(int field, const QString& wanted) const;

    bool active_ = false;
    QList<FieldDef> fields_;
    QList<FieldRow> rows_;   // row order
    QList<FieldRow> saved_;  // as of the last load, merge or empty
    State state_ = State::Browse;
    FieldRow buffer_;
    int editRow_ = -1;  // the row under edit, in row order
    QList<int> view_;   // indices into rows_, in view order
    int pos_ = 0;
    bool eof_ = true;
    int orderField_ = -1;
    std::optional<FieldValue> rangeKey_;
};
