#include "store/data_set.h"

#include "platform/core/convert.h"
#include "platform/core/failure.h"
#include "store/connection.h"
#include "store/statement.h"

#include <algorithm>
#include <numeric>
#include <sqlite3.h>

using Kind = GridSource::ColumnKind;

namespace {

// Stored dates are ISO text: "YYYY-MM-DD" for whole days, else with the time.
QVariant dateFromStorage(const QVariant &stored)
{
    const QString text = stored.toString();
    if (text.size() == 10)
        return QDate::fromString(text, Qt::ISODate).startOfDay();
    return QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString dateToStorage(const QDateTime &moment)
{
    if (moment.time() == QTime(0, 0))
        return moment.date().toString(Qt::ISODate);
    return moment.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
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
        return stored.typeId() == QMetaType::LongLong ? QVariant(stored.toInt()) : stored;
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

} // namespace

DataSet::DataSet(Connection *connection, const QString &name, QObject *parent)
    : GridSource(parent), connection_(connection), name_(name)
{
}

DataSet::~DataSet() = default;

void DataSet::bindParameters(Statement &) const {}

void DataSet::Open()
{
    if (active_)
        return;
    sqlite3 *db = connection_->handle();
    const QString text = selectText();

    // The count runs inside the database; the rows themselves are read on demand.
    Statement counter(db, QStringLiteral("select count(*) from (") + text + QStringLiteral("\n)"));
    bindParameters(counter);
    counter.step();
    const int count = counter.value(0).toInt();

    auto cursor = std::make_unique<Statement>(db, text);
    bindParameters(*cursor);
    cursor_ = std::move(cursor);
    cursorPosition_ = 0;
    cursorDone_ = false;
    sourceCount_ = count;
    chunks_.clear();
    changed_.clear();
    deletedSources_.clear();
    order_.clear();
    ordered_ = false;
    appended_ = 0;
    state_ = State::Browse;
    if (sourceCount_ > 0)
        readChunk(0);
    describe();
    active_ = true;
    current_ = sourceCount_ > 0 ? 0 : -1;
    eof_ = sourceCount_ == 0;
    changed();
}

void DataSet::describe()
{
    fields_.clear();
    const int offset = hasRowid() ? 1 : 0;
    for (int column = offset; column < cursor_->columnCount(); ++column) {
        const QString declared = cursor_->declaredType(column);
        FieldDef field = FieldDef::fromDeclaredType(cursor_->columnName(column), declared);
        if (declared.isEmpty() && sourceCount_ > 0) {
            // An expression has no declared type: its first value tells the kind.
            const QVariant first = chunks_.at(0).front().values.at(column - offset);
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
    cursor_.reset();
    chunks_.clear();
    changed_.clear();
    deletedSources_.clear();
    order_.clear();
    ordered_ = false;
    fields_.clear();
    sourceCount_ = 0;
    active_ = false;
    current_ = -1;
    eof_ = true;
    state_ = State::Browse;
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
    current_ = recordCount() > 0 ? 0 : -1;
    eof_ = current_ < 0;
    emit gridCurrentRowChanged(current_);
}

void DataSet::Next()
{
    requireActive();
    if (current_ + 1 < recordCount()) {
        ++current_;
        emit gridCurrentRowChanged(current_);
    } else {
        eof_ = true;
    }
}

int DataSet::recordCount() const
{
    return ordered_ ? int(order_.size()) : sourceCount_;
}

void DataSet::setCurrentRow(int row)
{
    requireActive();
    if (row < 0 || row >= recordCount())
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
        // Never null: Statement binds even an empty text as a zero-length text.
        return cut(value.toString(), field.size);
    case Kind::Memo:
        return value.toString().isEmpty() ? QVariant() : QVariant(value.toString());
    case Kind::Integer:
        if (value.typeId() == QMetaType::QString)
            return QVariant(qlonglong(Convert::strToInt(value.toString())));
        return QVariant(value.toLongLong());
    case Kind::Float:
        return QVariant(value.toDouble());
    case Kind::DateTime:
        if (value.typeId() == QMetaType::QString)
            return dateToStorage(Convert::strToDate(value.toString()).startOfDay());
        if (value.typeId() == QMetaType::QDate)
            return value.toDate().toString(Qt::ISODate);
        return dateToStorage(value.toDateTime());
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
    const int chunk = source / chunkSize;
    if (!chunks_.contains(chunk))
        readChunk(chunk);
    return chunks_.at(chunk).at(source % chunkSize);
}

bool DataSet::advance()
{
    if (cursorDone_ || !cursor_->step()) {
        cursorDone_ = true;
        return false;
    }
    ++cursorPosition_;
    return true;
}

void DataSet::readChunk(int chunk)
{
    const int start = chunk * chunkSize;
    const int count = std::min(chunkSize, sourceCount_ - start);
    // Rows this data set deleted are gone from the result: the chunk starts that much earlier.
    const int deletedBefore =
        int(std::lower_bound(deletedSources_.begin(), deletedSources_.end(), start) - deletedSources_.begin());
    const int physical = start - deletedBefore;
    if (cursorPosition_ > physical) {
        cursor_->reset();
        cursorPosition_ = 0;
        cursorDone_ = false;
    }
    while (cursorPosition_ < physical && advance()) {
    }
    std::vector<Row> rows;
    rows.reserve(count);
    const int columns = cursor_->columnCount() - (hasRowid() ? 1 : 0);
    for (int i = 0; i < count; ++i) {
        // A row that vanished since opening reads as null rather than shifting the rest.
        rows.push_back(advance() ? readRow(*cursor_) : Row{0, QVariantList(columns)});
    }
    chunks_[chunk] = std::move(rows);
    // Everything is read: let go of the statement so this data set holds no
    // read lock on the file while it stays open.
    if (start + count >= sourceCount_) {
        cursor_->reset();
        cursorPosition_ = 0;
        cursorDone_ = false;
    }
}

DataSet::Row DataSet::readRow(const Statement &statement) const
{
    Row row;
    int column = 0;
    if (hasRowid())
        row.rowid = statement.value(column++).toLongLong();
    for (; column < statement.columnCount(); ++column)
        row.values << statement.value(column);
    return row;
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
    order_.resize(sourceCount_);
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
    sqlite3 *db = connection_->handle();
    QStringList names;
    for (const FieldDef &field : std::as_const(fields_))
        names << '"' + field.name + '"';
    if (state_ == State::Insert) {
        const QString marks = QStringList(QList<QString>(names.size(), QStringLiteral("?"))).join(',');
        Statement::execute(db, QStringLiteral("insert into %1 (%2) values (%3)").arg(tableName(), names.join(','), marks),
                           pending_.values);
        pending_.rowid = sqlite3_last_insert_rowid(db);
        const int source = sourceCount_ + appended_++;
        changed_[source] = pending_;
        makeOrderExplicit();
        order_.push_back(source);
        current_ = int(order_.size()) - 1;
    } else {
        QStringList assignments;
        for (const QString &name : std::as_const(names))
            assignments << name + QStringLiteral("=?");
        QVariantList values = pending_.values;
        values << pending_.rowid;
        Statement::execute(db, QStringLiteral("update %1 set %2 where _rowid_=?").arg(tableName(), assignments.join(',')),
                           values);
        changed_[sourceAt(current_)] = pending_;
    }
    state_ = State::Browse;
    eof_ = false;
    changed();
    emit gridCurrentRowChanged(current_);
}

void DataSet::Cancel()
{
    state_ = State::Browse;
}

void DataSet::Delete()
{
    requireWritable();
    Cancel();
    if (current_ < 0)
        throw Failure(name_ + QStringLiteral(": Cannot perform this operation on an empty dataset"));
    Statement::execute(connection_->handle(), QStringLiteral("delete from %1 where _rowid_=?").arg(tableName()),
                       {rowAt(current_).rowid});
    const int source = sourceAt(current_);
    if (source < sourceCount_)
        deletedSources_.insert(std::lower_bound(deletedSources_.begin(), deletedSources_.end(), source), source);
    changed_.erase(source);
    makeOrderExplicit();
    order_.erase(order_.begin() + current_);
    // The result's remaining rows moved up; the cursor starts over when next needed.
    cursor_->reset();
    cursorPosition_ = 0;
    cursorDone_ = false;
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
    Statement statement(connection_->handle(), QStringLiteral("select _rowid_, * from %1 where _rowid_=?").arg(tableName()));
    statement.bind(1, row.rowid);
    return statement.step() ? readRow(statement) : row;
}

void DataSet::Refresh()
{
    requireActive();
    Cancel();
    if (!hasRowid()) {
        const int row = current_;
        Close();
        Open();
        if (row >= 0)
            setCurrentRow(std::min(row, recordCount() - 1));
        return;
    }
    for (auto &[chunk, rows] : chunks_) {
        for (int i = 0; i < int(rows.size()); ++i) {
            if (!changed_.contains(chunk * chunkSize + i) && rows[i].rowid != 0)
                rows[i] = reread(rows[i]);
        }
    }
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
    return active_ ? recordCount() : 0;
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
    if (!active_ || row < 0 || row >= recordCount())
        return {};
    return typed(fields_.at(column), rowAt(row).values.at(column));
}

void DataSet::gridSetCurrentRow(int row)
{
    if (active_ && row >= 0 && row < recordCount()) {
        current_ = row;
        eof_ = false;
    }
}
