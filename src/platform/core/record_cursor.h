#pragma once

// What a report needs of a data set to repeat its detail band once per row:
// a read-only walk from the first row to the end.
class RecordCursor {
public:
    virtual ~RecordCursor() = default;

    virtual bool cursorActive() const = 0;
    virtual void cursorFirst() = 0;
    virtual void cursorNext() = 0;
    // Past the last row, or no rows at all.
    virtual bool cursorEof() const = 0;
    // -1 when the data set cannot tell.
    virtual int cursorRecordCount() const = 0;
};
