#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>

// Departments, examination sites and report phrases a new installation can
// start with, so the pickers and the phrase library are usable on the first day.
class SampleDictionaries {
public:
    // A dictionary name with its pinyin code: the upper-case initial of the
    // pinyin of each character.
    struct CodedName {
        QString name;
        QString code;
    };

    // The phrases filed under one title, in the order the operator sees them.
    struct PhraseGroup {
        QString title;
        QStringList phrases;
    };

    static const QList<CodedName> &departments();
    static const QList<CodedName> &sites();
    static const QList<PhraseGroup> &phraseGroups();

    // Runs one insert statement ("?" marks) with its values.
    using Insert = std::function<void(const QString &statement, const QVariantList &values)>;
    // Every sample row, as inserts, in the order the operator sees them.
    static void writeAll(const Insert &insert);
    // One number: the rows of the four dictionaries together.
    static QString countStatement();

    // Writes every sample row into the existing workstation database at `path`
    // in one transaction. Throws Failure, leaving the file as it was, when the
    // file is missing, is not one of our databases, already holds dictionary
    // rows, or cannot be written.
    static void fill(const QString &path);
};
