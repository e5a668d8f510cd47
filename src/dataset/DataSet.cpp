#include "dataset/DataSet.h"

#include "core/AppError.h"
#include "text/Cp949.h"

#include <QIODevice>

#include <algorithm>
#include <limits>

namespace {

// Null first, then by value; only values of one field are ever compared.
int compareValues(const FieldValue& a, const FieldValue& b)
{
    if (a.index() != b.index())
        return a.index() < b.index() ? -1 : 1;
    if (const auto* n = std::get_if<qint32>(&a)) {
        const qint32 m = std::get<qint32>(b);
        return *n < m ? -1 : (*n > m ? 1 : 0);
    }
    if (const auto* s = std::get_if<QString>(&a))
        return s->compare(std::get<QString>(b));
    if (const auto* bytes = std::get_if<QByteArray>(&a))
        return bytes->compare(std::get<QByteArray>(b));
    return 0;
}

}

DataSet::DataSet(QList<FieldDef> fields)
{
    FieldDefs::validate(fields);
    fields_ = std::move(fields);
    active_ = true;
}

void DataSet::requireActive() const
{
    if (!active_)
        throw AppError(QStringLiteral(
            "데이터셋이 열려 있지 않아 이 작업을 할 수 없습니다. 자료를 읽어 들이지 못했을 수 있습니다."));
}

int DataSet::findField(QStringView name) const
{
    return FieldDefs::indexOf(fields_, name);
}

int DataSet::fieldIndex(QStringView name) const
{
    requireActive();
    const int i = findField(name);
    if (i < 0)
        throw AppError(QStringLiteral("자료에 '%1' 필드가 없습니다.").arg(name));
    return i;
}

void DataSet::typeMismatch(int field, const QString& wanted) const
{
    throw AppError(QStringLiteral("'%1' 필드는 %2 필드라서 %3 값으로 다룰 수 없습니다.")
                       .arg(fields_[field].name, FieldDefs::typeLabel(fields_[field].type), wanted));
}

const FieldRow* DataSet::currentRow() const
{
    if (state_ != State::Browse)
        return &buffer_;
    if (view_.isEmpty())
        return nullptr;
    return &rows_[view_[pos_]];
}

const FieldValue* DataSet::value(QStringView name, int* field) const
{
    *field = fieldIndex(name);
    const FieldRow* row = currentRow();
    return row ? &(*row)[*field] : nullptr;
}

bool DataSet::isNull(QStringView name) const
{
    int field = 0;
    const FieldValue* v = value(name, &field);
    return !v || std::holds_alternative<std::monostate>(*v);
}

QString DataSet::asString(QStringView name) const
{
    int field = 0;
    const FieldValue* v = value(name, &field);
    if (FieldDefs::holdsBytes(fields_[field].type))
        typeMismatch(field, QStringLiteral("글자"));
    if (!v)
        return {};
    if (const auto* n = std::get_if<qint32>(v))
        return QString::number(*n);
    if (const auto* s = std::get_if<QString>(v))
        return *s;
    return {};
}

qint32 DataSet::asInteger(QStringView name) const
{
    int field = 0;
    const FieldValue* v = value(name, &field);
    if (!FieldDefs::holdsInteger(fields_[field].type))
        typeMismatch(field, QStringLiteral("정수"));
    const auto* n = v ? std::get_if<qint32>(v) : nullptr;
    return n ? *n : 0;
}

QByteArray DataSet::asBytes(QStringView name) const
{
    int field = 0;
    const FieldValue* v = value(name, &field);
    if (!FieldDefs::holdsBytes(fields_[field].type))
        typeMismatch(field, QStringLiteral("바이트"));
    const auto* bytes = v ? std::get_if<QByteArray>(v) : nullptr;
    return bytes ? *bytes : QByteArray();
}

void DataSet::requireEditing(int field) const
{
    if (state_ == State::Browse)
        throw AppError(
            QStringLiteral("데이터셋이 편집 중이 아니어서 '%1' 필드에 값을 쓸 수 없습니다.").arg(fields_[field].name));
}

void DataSet::setString(QStringView name, const QString& value)
{
    const int field = fieldIndex(name);
    requireEditing(field);
    const FieldDef& f = fields_[field];
    if (!FieldDefs::holdsText(f.type))
        typeMismatch(field, QStringLiteral("글자"));
    buffer_[field] = DataPackets::textValue(f, value);
}

void DataSet::setInteger(QStringView name, qint32 value)
{
    const int field = fieldIndex(name);
    requireEditing(field);
    const FieldDef& f = fields_[field];
    if (!FieldDefs::holdsInteger(f.type))
        typeMismatch(field, QStringLiteral("정수"));
    if (f.type == FieldType::SmallInt
        && (value < std::numeric_limits<qint16>::min() || value > std::numeric_limits<qint16>::max()))
        throw AppError(QStringLiteral("%1은(는) '%2' 필드(16비트 정수)에 넣을 수 없습니다 (-32768 ~ 32767).")
                           .arg(value)
                           .arg(f.name));
    buffer_[field] = value;
}

void DataSet::setBytes(QStringView name, const QByteArray& value)
{
    const int field = fieldIndex(name);
    requireEditing(field);
    if (!FieldDefs::holdsBytes(fields_[field].type))
        typeMismatch(field, QStringLiteral("바이트"));
    buffer_[field] = value;
}

void DataSet::setNull(QStringView name)
{
    const int field = fieldIndex(name);
    requireEditing(field);
    buffer_[field] = std::monostate();
}

int DataSet::recordCount() const
{
    requireActive();
    return int(view_.size());
}

void DataSet::first()
{
    requireActive();
    postPending();
    pos_ = 0;
    eof_ = view_.isEmpty();
}

void DataSet::next()
{
    requireActive();
    postPending();
    if (pos_ + 1 < view_.size())
        ++pos_;
    else
        eof_ = true;
}

void DataSet::moveTo(int position)
{
    requireActive();
    postPending();
    if (position < 0 || position >= view_.size())
        throw AppError(QStringLiteral("List index out of bounds (%1)").arg(position));
    pos_ = position;
    eof_ = false;
}

void DataSet::append()
{
    requireActive();
    postPending();
    buffer_ = FieldRow(fields_.size());
    state_ = State::Insert;
}

void DataSet::edit()
{
    requireActive();
    if (state_ == State::Edit)
        return;
    postPending();
    if (view_.isEmpty())
        throw AppError(QStringLiteral("데이터셋에 행이 없어 고칠 수 없습니다."));
    editRow_ = view_[pos_];
    buffer_ = rows_[editRow_];
    state_ = State::Edit;
}

void DataSet::post()
{
    requireActive();
    postPending();
}

void DataSet::postPending()
{
    if (state_ == State::Browse)
        return;
    const bool inserted = state_ == State::Insert;
    int row = editRow_;
    if (inserted) {
        rows_.append(std::move(buffer_));
        row = int(rows_.size() - 1);
    } else {
        rows_[row] = std::move(buffer_);
    }
    buffer_.clear();
    state_ = State::Browse;
    editRow_ = -1;
    if (inserted)
        placeNewRow(row);
    else if (orderField_ >= 0 || rangeKey_)
        rebuildView(row);
}

// Where rebuildView(row) would put a new row, found without rebuilding: appending rows one
// by one stays linear however many there are.
void DataSet::placeNewRow(int row)
{
    if (rangeKey_ && !(rows_[row][orderField_] == *rangeKey_))
        return;
    qsizetype at = view_.size();
    if (orderField_ >= 0 && !rangeKey_)
        at = std::upper_bound(
                 view_.begin(), view_.end(), row,
                 [this](int a, int b) { return compareValues(rows_[a][orderField_], rows_[b][orderField_]) < 0; })
             - view_.begin();
    view_.insert(at, row);
    pos_ = int(at);
    eof_ = false;
}

void DataSet::cancel()
{
    buffer_.clear();
    state_ = State::Browse;
    editRow_ = -1;
}

void DataSet::deleteRecord()
{
    requireActive();
    if (state_ == State::Insert) {
        cancel();
        return;
    }
    cancel();
    if (view_.isEmpty())
        throw AppError(QStringLiteral("데이터셋에 행이 없어 지울 수 없습니다."));
    rows_.removeAt(view_[pos_]);
    rebuildView();
}

void DataSet::emptyDataSet()
{
    requireActive();
    cancel();
    rows_.clear();
    saved_.clear();
    rebuildView();
}

void DataSet::copyFrom(const DataSet& source)
{
    source.requireActive();
    cancel();
    fields_ = source.fields_;
    rows_ = source.rows_;
    saved_ = source.saved_;
    active_ = true;
    orderField_ = -1;
    rangeKey_.reset();
    rebuildView();
}

void DataSet::mergeChangeLog()
{
    requireActive();
    postPending();
    saved_ = rows_;
}

void DataSet::cancelUpdates()
{
    requireActive();
    cancel();
    rows_ = saved_;
    rebuildView();
}

void DataSet::setOrder(QStringView fieldName)
{
    requireActive();
    postPending();
    orderField_ = fieldName.isEmpty() ? -1 : fieldIndex(fieldName);
    rangeKey_.reset();
    rebuildView();
}

void DataSet::setRange(const QString& key)
{
    requireActive();
    postPending();
    if (orderField_ < 0)
        throw AppError(QStringLiteral("범위를 정하려면 먼저 정렬 필드를 정해야 합니다."));
    const FieldDef& f = fields_[orderField_];
    if (FieldDefs::holdsInteger(f.type)) {
        bool ok = false;
        const qint32 n = key.toInt(&ok);
        if (!ok)
            throw AppError(
                QStringLiteral("'%1'은(는) '%2' 필드의 범위로 쓸 수 있는 정수가 아닙니다.").arg(key, f.name));
        rangeKey_ = n;
    } else if (FieldDefs::holdsText(f.type)) {
        rangeKey_ = key;
    } else {
        typeMismatch(orderField_, QStringLiteral("범위"));
    }
    rebuildView();
}

void DataSet::cancelRange()
{
    requireActive();
    postPending();
    rangeKey_.reset();
    rebuildView();
}

void DataSet::rebuildView(int keepRow)
{
    view_.clear();
    view_.reserve(rows_.size());
    for (int i = 0; i < rows_.size(); ++i)
        if (!rangeKey_ || rows_[i][orderField_] == *rangeKey_)
            view_.append(i);
    if (orderField_ >= 0 && !rangeKey_)
        std::stable_sort(view_.begin(), view_.end(), [this](int a, int b) {
            return compareValues(rows_[a][orderField_], rows_[b][orderField_]) < 0;
        });
    const qsizetype kept = keepRow < 0 ? -1 : view_.indexOf(keepRow);
    if (kept >= 0)
        pos_ = int(kept);
    else
        pos_ = std::clamp(pos_, 0, std::max(0, int(view_.size()) - 1));
    eof_ = view_.isEmpty();
}

QByteArray DataSet::toPacket(PacketForm form)
{
    requireActive();
    postPending();
    return DataPackets::write(DataPacket{fields_, rows_}, form);
}

void DataSet::save(QIODevice& device, PacketForm form)
{
    const QByteArray bytes = toPacket(form);
    if (device.write(bytes) != bytes.size())
        throw AppError(QStringLiteral("자료를 저장하지 못했습니다: %1").arg(device.errorString()));
}

void DataSet::adopt(DataPacket packet)
{
    cancel();
    fields_ = std::move(packet.fields);
    rows_ = std::move(packet.rows);
    saved_ = rows_;
    active_ = true;
    orderField_ = -1;
    rangeKey_.reset();
    pos_ = 0;
    rebuildView();
}

void DataSet::loadPacket(QByteArrayView bytes)
{
    adopt(DataPackets::read(bytes));
}

void DataSet::load(QIODevice& device)
{
    if (!device.isReadable())
        throw AppError(QStringLiteral("자료를 읽지 못했습니다: %1").arg(device.errorString()));
    loadPacket(device.readAll());
}
