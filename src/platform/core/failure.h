#pragma once

#include <QString>
#include <exception>

// A failure whose message the operator sees as it stands in the top-level
// error box. Conversion, database and report-engine failures all derive from
// it so one guard can show any of them.
class Failure : public std::exception {
public:
    explicit Failure(QString message);

    const QString &message() const { return message_; }
    const char *what() const noexcept override { return utf8_.constData(); }

private:
    QString message_;
    QByteArray utf8_;
};
