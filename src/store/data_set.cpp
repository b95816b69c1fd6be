#include "store/data_set.h"

#include "platform/core/convert.h"
#include "platform/core/failure.h"
#include "store/connection.h"
#include "store/server_row_source.h"
#include "store/sqlite_row_source.h"

#include <algorithm>
#include <limits>
#include <numeric>
#include <unordered_map>

using Kind = GridSource::ColumnKind;

namespace {

// Stored dates are ISO text: "YYYY-MM-DD" for whole days, else with the time
// (the server's timestamps read "YYYY-MM-DD HH:MM:SS").
QVariant dateFromStorage(const QVariant &stored)
{
    const QString text = stored.toString();
    if (text.size() == 10)
        return QDate::fromString(text, Qt::ISODate).startOfDay();
    return QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}


// Typed value of a stored cell, before the memo rule.
QVariant typed(const FieldDef &field, const QVariant &stored)
{
    if (stored.isNull())
        return {};
    switch (field.kind) {
    case Kind::DateTime:
        return dateFromStorage(stored);
    case Kind::Integer:
        // A number too large for the column is handed out whole, never wrapped.
        if (stored.typeId() == QMetaType::LongLong && stored.toLongLong() == qint32(stored.toLongLong()))
            return QVariant(stored.toInt());
        return stored;
    default:
        return stored;
    }
}

// The first `width` characters, never splitting a surrogate pair.
QString cut(const QString &text, int width)
{
    if (width <= 0 || text.size() <= width)
        return text;
    int end = width;
    if (text.at(end - 1).isHighSurrogate())
        --end;
    return text.left(end);
}

[[noreturn]] void notADate(const QVariant &value)
{
    throw Failure(QStringLiteral("'%1' is not a valid date").arg(value.toString()));
}

// ISO text has four-digit years: Qt writes an empty text for a date outside
// years 1 to 9999 (a negative year would not sort either), so such a date is refused.
QString dateToStorage(const QDateTime &moment)
{
    const int year = moment.date().year();
    if (!moment.isValid() || year < 1 || year > 9999)
        throw Failure(QStringLiteral("'%1' is not a valid date").arg(Convert::dateTimeToStr(moment)));
    if (moment.time() == QTime(0, 0))
        return moment.date().toString(Qt::ISODate);
    return moment.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

} // namespace

DataSet::DataSet(Connection *connection, const QString &name, QObject *parent)
    : GridSource(parent),
      connection_(connection),
      name_(name)
{
    countTimer_.setSingleShot(true);
    connect(&countTimer_, &QTimer::timeout, this, &DataSet::countInBackground);
}

DataSet::~DataSet()
{
    if (active_)
        connection_->detach(this);
}

void DataSet::reset()
{
    fields_.clear();
    keyed_ = false;
    snapshot_.clear();
    rowSource_.reset();
    whole_.clear();
    whole_.shrink_to_fit();
    countTimer_.stop();
    changed_.clear();
    order_.clear();
    order_.shrink_to_fit();
    ordered_ = false;
    appended_ = 0;
    state_ = State::Browse;
}

void DataSet::Open()
{
    if (active_)
        return;
    connection_->open();
    reset();
    try {
        if (connection_->onServer())
            rowSource_ = std::make_unique<ServerRowSource>(connection_, parameters());
        else
            rowSource_ = std::make_unique<SqliteRowSource>(connection_, parameters());
        snapshot_.setSource(*rowSource_);
        connection_->read([this] {
            const std::optional<SelectShape> shape = SelectShape::of(selectText());
            keyed_ = shape.has_value();
            if (keyed_) {
                rowSource_->setShape(*shape);
                readRowids();
            } else {
                readWhole();
            }
        });
    } catch (...) {
        reset();
        throw;
    }
    connection_->attach(this);
    active_ = true;
    current_ = sourceCount() > 0 ? 0 : -1;
    eof_ = sourceCount() == 0;
    if (snapshot_.counting())
        countTimer_.start();
    changed();
}

void DataSet::readRowids()
{
    describe(rowSource_->columns(), {});
    if (std::optional<RowidList> whole = rowSource_->wholeTable())
        snapshot_.openKnown(std::move(*whole), int(fields_.size()));
    else  // rows appended from now on lie above the bound
        snapshot_.openCounting(rowSource_->highestKey(), int(fields_.size()));
}

void DataSet::learnMore(int limit)
{
    const int at = snapshot_.settled();
    const bool beforeLast = snapshot_.known() > at;
    const int learnt = snapshot_.learn(limit);
    if (learnt == 0)
        return;
    if (!beforeLast) {
        if (suspended_ == 0)
            emit gridRowsAppended();
        return;
    }
    if (current_ >= at)
        current_ += learnt;
    if (suspended_ == 0)
        emit gridRowsInserted(at, learnt);
}

void DataSet::countInBackground()
{
    if (!snapshot_.counting())
        return;
    try {
        learnMore(SnapshotCache::countStep);
    } catch (const std::exception &) {
        // A busy or closed file: the next call that needs the rows tries again and reports it.
        return;
    }
    if (snapshot_.counting())
        countTimer_.start();
}

void DataSet::finishCounting()
{
    if (!snapshot_.counting())
        return;
    countTimer_.stop();
    learnMore(std::numeric_limits<int>::max());
}

void DataSet::learnThrough(int row)
{
    if (row >= snapshot_.settled() && snapshot_.known() > snapshot_.settled())
        finishCounting();
    while (row >= rowsKnown() && snapshot_.counting())
        learnMore(SnapshotCache::countStep);
}

void DataSet::gridFetchLast()
{
    if (!active_ || !snapshot_.counting())
        return;
    const int known = snapshot_.known();
    snapshot_.learnLast();
    if (snapshot_.known() > known && suspended_ == 0)
        emit gridRowsAppended();
}

int DataSet::rowsKnown() const
{
    return ordered_ ? int(order_.size()) : sourceCount();
}

int DataSet::sourceCount() const
{
    return keyed_ ? snapshot_.known() : int(whole_.size());
}

void DataSet::readWhole()
{
    const std::vector<RowSource::Column> columns = rowSource_->readWhole(selectText(), whole_);
    describe(columns, whole_.empty() ? QVariantList() : whole_.front().values);
}

void DataSet::describe(const std::vector<RowSource::Column> &columns, const QVariantList &firstRow)
{
    fields_.clear();
    for (size_t column = 0; column < columns.size(); ++column) {
        const QString &declared = columns[column].declaredType;
        FieldDef field = FieldDef::fromDeclaredType(columns[column].name, declared);
        if (declared.isEmpty() && !firstRow.isEmpty()) {
            // An expression has no declared type: its first value tells the kind.
            const QVariant first = firstRow.at(qsizetype(column));
            if (first.typeId() == QMetaType::LongLong)
                field.kind = Kind::Integer;
            else if (first.typeId() == QMetaType::Double)
                field.kind = Kind::Float;
        }
        if (const int declaredWidthOfWindow = declaredWidth(field.name); declaredWidthOfWindow > 0)
            field.size = field.size > 0 ? std::min(field.size, declaredWidthOfWindow) : declaredWidthOfWindow;
        fields_ << field;
    }
}

void DataSet::Close()
{
    if (!active_)
        return;
    connection_->detach(this);
    reset();
    active_ = false;
    current_ = -1;
    eof_ = true;
    changed();
}

void DataSet::requireActive() const
{
    if (!active_)
        throw Failure(name_ + QStringLiteral(": Cannot perform this operation on a closed dataset"));
}

void DataSet::First()
{
    requireActive();
    current_ = rowsKnown() > 0 ? 0 : -1;
    eof_ = current_ < 0;
    emit gridCurrentRowChanged(current_);
}

void DataSet::Next()
{
    requireActive();
    learnThrough(current_ + 1);
    if (current_ + 1 < rowsKnown()) {
        ++current_;
        emit gridCurrentRowChanged(current_);
    } else {
        eof_ = true;
    }
}

int DataSet::recordCount() const
{
    // The count is part of the reading, only learnt late: logically const.
    if (snapshot_.counting())
        const_cast<DataSet *>(this)->finishCounting();
    return rowsKnown();
}

void DataSet::setCurrentRow(int row)
{
    requireActive();
    if (row < 0)
        return;
    learnThrough(row);
    if (row >= rowsKnown())
        return;
    current_ = row;
    eof_ = false;
    emit gridCurrentRowChanged(row);
}

Field DataSet::fieldByName(const QString &field)
{
    for (int i = 0; i < fields_.size(); ++i) {
        if (fields_.at(i).name.compare(field, Qt::CaseInsensitive) == 0)
            return Field(this, i);
    }
    throw Failure(QStringLiteral("%1: Field '%2' not found").arg(name_, field));
}

QVariant DataSet::fieldValue(int index)
{
    requireActive();
    const FieldDef &field = fields_.at(index);
    QVariant value;
    if (state_ != State::Browse)
        value = typed(field, pending_.values.at(index));
    else if (current_ >= 0)
        value = typed(field, rowAt(current_).values.at(index));
    if (field.kind == Kind::Memo)
        return value.isNull() ? QString(QLatin1String("")) : value.toString();
    return value;
}

void DataSet::setFieldValue(int index, const QVariant &value)
{
    requireWritable();
    if (state_ == State::Browse)
        throw Failure(name_ + QStringLiteral(": Dataset not in edit or insert mode"));
    pending_.values[index] = storedValue(fields_.at(index), value);
}

QVariant DataSet::storedValue(const FieldDef &field, const QVariant &value) const
{
    if (value.isNull() && value.typeId() != QMetaType::QString)
        return {};
    switch (field.kind) {
    case Kind::Text:
        // Never null: both engines bind an empty text as a zero-length text.
        return cut(value.toString(), field.size);
    case Kind::Memo:
        return value.toString().isEmpty() ? QVariant() : QVariant(value.toString());
    case Kind::Integer: {
        if (value.typeId() == QMetaType::QString)
            return QVariant(qlonglong(Convert::strToInt(value.toString())));
        const qlonglong number = value.toLongLong();
        if (number < std::numeric_limits<qint32>::min() || number > std::numeric_limits<qint32>::max())
            throw Failure(QStringLiteral("%1 超出了“%2”能保存的整数范围（-2147483648 至 2147483647），未保存。")
                              .arg(QString::number(number), field.name));
        return QVariant(number);
    }
    case Kind::Float:
        return QVariant(value.toDouble());
    case Kind::DateTime:
        switch (value.typeId()) {
        case QMetaType::QString:
            return dateToStorage(Convert::strToDate(value.toString()).startOfDay());
        case QMetaType::QDate:
            if (!value.toDate().isValid())
                notADate(value);
            return dateToStorage(value.toDate().startOfDay());
        case QMetaType::QDateTime:
            return dateToStorage(value.toDateTime());
        default:
            notADate(value);
        }
    }
    return value;
}

int DataSet::sourceAt(int row) const
{
    return ordered_ ? order_.at(row) : row;
}

const DataSet::Row &DataSet::rowAt(int row)
{
    return sourceRow(sourceAt(row));
}

const DataSet::Row &DataSet::sourceRow(int source)
{
    if (auto found = changed_.find(source); found != changed_.end())
        return found->second;
    return keyed_ ? snapshot_.row(source) : whole_.at(source);
}

void DataSet::keepRowBeforeChange(const QString &table, qint64 rowid)
{
    if (!active_ || !keyed_ || rowSource_->shape().table.compare(table, Qt::CaseInsensitive) != 0)
        return;
    finishCounting();
    const int source = snapshot_.indexOf(rowid);
    if (source >= 0 && !changed_.contains(source))
        snapshot_.keep(source);
}

void DataSet::requireWritable() const
{
    requireActive();
    if (tableName().isEmpty())
        throw Failure(name_ + QStringLiteral(": Cannot modify a read-only dataset"));
}

void DataSet::makeOrderExplicit()
{
    if (ordered_)
        return;
    finishCounting();
    order_.resize(sourceCount());
    std::iota(order_.begin(), order_.end(), 0);
    ordered_ = true;
}

void DataSet::Append()
{
    requireWritable();
    if (state_ != State::Browse)
        Post();
    pending_ = Row{0, QVariantList(fields_.size())};
    state_ = State::Insert;
}

void DataSet::Edit()
{
    requireWritable();
    if (state_ != State::Browse)
        return;
    if (current_ < 0)
        throw Failure(name_ + QStringLiteral(": Cannot perform this operation on an empty dataset"));
    pending_ = rowAt(current_);
    state_ = State::Edit;
}

void DataSet::Post()
{
    requireWritable();
    if (state_ == State::Browse)
        return;
    QStringList names;
    for (const FieldDef &field : std::as_const(fields_))
        names << '"' + field.name + '"';
    if (state_ == State::Insert) {
        pending_.key = write(rowWrite(RowWrite::Kind::Insert, 0, {}, pending_.values),
                             [&] { return connection_->insert(tableName(), names, pending_.values); });
        makeOrderExplicit();
        const int source = sourceCount() + appended_++;
        changed_[source] = pending_;
        order_.push_back(source);
        current_ = int(order_.size()) - 1;
    } else {
        QStringList assignments;
        for (const QString &name : std::as_const(names))
            assignments << name + QStringLiteral("=?");
        QVariantList values = pending_.values;
        values << pending_.key;
        connection_->keepRowBeforeChange(tableName(), pending_.key, this);
        write(rowWrite(RowWrite::Kind::Update, pending_.key, rowAt(current_).values, pending_.values), [&] {
            connection_->write(QStringLiteral("update %1 set %2 where _rowid_=?").arg(tableName(), assignments.join(',')),
                               values);
            return pending_.key;
        });
        changed_[sourceAt(current_)] = pending_;
    }
    state_ = State::Browse;
    eof_ = false;
    changed();
    emit gridCurrentRowChanged(current_);
}

RowWrite DataSet::rowWrite(RowWrite::Kind kind, qint64 rowid, const QVariantList &before, const QVariantList &after) const
{
    RowWrite change;
    change.kind = kind;
    change.table = tableName();
    change.rowid = rowid;
    for (const FieldDef &field : fields_)
        change.columns << field.name.toLower();
    change.before = before;
    change.after = after;
    return change;
}

qint64 DataSet::write(const RowWrite &change, const std::function<qint64()> &apply)
{
    if (!companion_)
        return apply();
    qint64 rowid = 0;
    connection_->transaction([&] {
        companion_(*connection_, change);
        rowid = apply();
    });
    return rowid;
}

void DataSet::Cancel()
{
    state_ = State::Browse;
}

void DataSet::Delete()
{
    requireWritable();
    // Delete on a row not yet posted only throws that row away: the row
    // that was current before it is a stored record.
    if (state_ == State::Insert) {
        Cancel();
        return;
    }
    Cancel();
    if (current_ < 0)
        throw Failure(name_ + QStringLiteral(": Cannot perform this operation on an empty dataset"));
    const Row row = rowAt(current_);
    const qint64 rowid = row.key;
    connection_->keepRowBeforeChange(tableName(), rowid, this);
    write(rowWrite(RowWrite::Kind::Delete, rowid, row.values, {}), [&] {
        connection_->write(QStringLiteral("delete from %1 where _rowid_=?").arg(tableName()), {rowid});
        return rowid;
    });
    const int source = sourceAt(current_);
    changed_.erase(source);
    makeOrderExplicit();
    order_.erase(order_.begin() + current_);
    if (order_.empty()) {
        current_ = -1;
        eof_ = true;
    } else if (current_ >= int(order_.size())) {
        current_ = int(order_.size()) - 1;
    }
    changed();
    emit gridCurrentRowChanged(current_);
}

DataSet::Row DataSet::reread(const Row &row)
{
    std::vector<Row> again = rowSource_->rowsWithKeys({row.key});
    return again.empty() ? row : std::move(again.front());
}

void DataSet::Refresh()
{
    requireActive();
    Cancel();
    if (!keyed_) {
        const int row = current_;
        Close();
        Open();
        if (row >= 0)
            setCurrentRow(std::min(row, recordCount() - 1));
        return;
    }
    snapshot_.refresh();
    for (auto &[source, row] : changed_)
        row = reread(row);
    changed();
}

void DataSet::DisableControls()
{
    ++suspended_;
}

void DataSet::EnableControls()
{
    if (suspended_ > 0 && --suspended_ == 0)
        emit gridReset();
}

void DataSet::changed()
{
    if (suspended_ == 0)
        emit gridReset();
}

int DataSet::gridRowCount() const
{
    return active_ ? rowsKnown() : 0;
}

int DataSet::gridColumnCount() const
{
    return int(fields_.size());
}

QString DataSet::gridColumnTitle(int column) const
{
    return fields_.at(column).name;
}

GridSource::ColumnKind DataSet::gridColumnKind(int column) const
{
    return fields_.at(column).kind;
}

int DataSet::gridDisplayWidth(int column) const
{
    const FieldDef &field = fields_.at(column);
    return field.kind == Kind::Text ? field.size : 0;
}

QVariant DataSet::gridValue(int row, int column)
{
    if (!active_ || row < 0 || row >= rowsKnown())
        return {};
    return typed(fields_.at(column), rowAt(row).values.at(column));
}

void DataSet::gridSetCurrentRow(int row)
{
    if (active_ && row >= 0 && row < rowsKnown()) {
        current_ = row;
        eof_ = false;
    }
}
