#include "platform/printing/pdf_text_map.h"

#include "platform/printing/print_log.h"

#include <QList>
#include <QRegularExpression>
#include <QSet>
#include <QString>
#include <zlib.h>

namespace {

// Radicals of the supplement block with no compatibility decomposition, and
// the ideographs (mostly simplified forms) whose glyphs they share.
const struct {
    char16_t radical, ideograph;
} supplement[] = {
    {0x2E8C, 0x5C0F}, {0x2E8D, 0x5C0F}, {0x2E95, 0x5F50}, {0x2E9C, 0x65E5}, {0x2EA0, 0x6C11},
    {0x2EA4, 0x722B}, {0x2EA6, 0x4E2C}, {0x2EAB, 0x76EE}, {0x2EAC, 0x793A}, {0x2EAE, 0x7AF9},
    {0x2EB6, 0x7F8A}, {0x2EB7, 0x7F8A}, {0x2EBC, 0x8089}, {0x2EBE, 0x8279}, {0x2EC4, 0x897F},
    {0x2EC5, 0x89C1}, {0x2EC6, 0x89D2}, {0x2EC8, 0x8BA0}, {0x2EC9, 0x8D1D}, {0x2ECB, 0x8F66},
    {0x2ED1, 0x9577}, {0x2ED3, 0x957F}, {0x2ED4, 0x95E8}, {0x2ED8, 0x9752}, {0x2ED9, 0x97E6},
    {0x2EDA, 0x9875}, {0x2EDB, 0x98CE}, {0x2EDC, 0x98DE}, {0x2EDD, 0x98DF}, {0x2EDF, 0x98E0},
    {0x2EE0, 0x9963}, {0x2EE2, 0x9A6C}, {0x2EE3, 0x9AA8}, {0x2EE4, 0x9B3C}, {0x2EE5, 0x9C7C},
    {0x2EE6, 0x9E1F}, {0x2EE7, 0x5364}, {0x2EE8, 0x9EA6}, {0x2EE9, 0x9EC4}, {0x2EEA, 0x9EFE},
    {0x2EEB, 0x6589}, {0x2EEC, 0x9F50}, {0x2EED, 0x6B6F}, {0x2EEE, 0x9F7F}, {0x2EEF, 0x7ADC},
    {0x2EF0, 0x9F99}, {0x2EF2, 0x4E80}, {0x2EF3, 0x9F9F},
};

QByteArray inflate(const QByteArray &data)
{
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        return {};
    QByteArray out;
    char buffer[16384];
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    stream.avail_in = uInt(data.size());
    int status = Z_OK;
    while (status == Z_OK) {
        stream.next_out = reinterpret_cast<Bytef *>(buffer);
        stream.avail_out = sizeof buffer;
        status = ::inflate(&stream, Z_NO_FLUSH);
        out.append(buffer, qsizetype(sizeof buffer - stream.avail_out));
    }
    inflateEnd(&stream);
    return status == Z_STREAM_END ? out : QByteArray();
}

QByteArray deflate(const QByteArray &data)
{
    uLongf size = compressBound(uLong(data.size()));
    QByteArray out(qsizetype(size), Qt::Uninitialized);
    if (compress(reinterpret_cast<Bytef *>(out.data()), &size, reinterpret_cast<const Bytef *>(data.constData()),
                 uLong(data.size())) != Z_OK)
        return {};
    out.truncate(qsizetype(size));
    return out;
}

QByteArray hex4(char16_t c)
{
    return QByteArray::number(int(c), 16).toUpper().rightJustified(4, '0');
}

// A character map with its destinations turned from radicals to ideographs.
// Source codes (glyph numbers) stay as they are; a range that maps onto
// consecutive characters is written out when one of them changes.
QByteArray remap(const QByteArray &cmap)
{
    static const QRegularExpression token(QStringLiteral("<([0-9A-Fa-f]{4})>"));
    QList<QByteArray> lines = cmap.split('\n');
    enum { Outside, Chars, Ranges } section = Outside;
    for (QByteArray &line : lines) {
        if (line.endsWith("beginbfchar")) { section = Chars; continue; }
        if (line.endsWith("beginbfrange")) { section = Ranges; continue; }
        if (line.startsWith("endbf")) { section = Outside; continue; }
        if (section == Outside)
            continue;
        const QString text = QString::fromLatin1(line);
        QList<QRegularExpressionMatch> codes;
        for (const QRegularExpressionMatch &m : token.globalMatch(text))
            codes.append(m);
        const int sources = section == Chars ? 1 : 2;
        if (codes.size() <= sources)
            continue;
        QList<char16_t> targets;
        for (int i = sources; i < codes.size(); ++i)
            targets.append(char16_t(codes[i].captured(1).toUInt(nullptr, 16)));
        if (section == Ranges && !text.contains(QLatin1Char('['))) {
            // <first> <last> <start>: the range maps onto start, start+1, ...
            const uint first = codes[0].captured(1).toUInt(nullptr, 16);
            const uint last = codes[1].captured(1).toUInt(nullptr, 16);
            QList<char16_t> spelled;
            for (uint i = 0; i <= last - first && last >= first; ++i)
                spelled.append(char16_t(targets[0] + i));
            bool changes = false;
            for (char16_t c : spelled)
                changes |= PdfTextMap::ideographOf(c) != c;
            if (!changes)
                continue;
            targets = spelled;
        }
        QByteArray rebuilt;
        for (int i = 0; i < sources; ++i)
            rebuilt += codes[i].captured(0).toLatin1() + ' ';
        if (section == Ranges)
            rebuilt += '[';
        for (int i = 0; i < targets.size(); ++i)
            rebuilt += (i ? " <" : "<") + hex4(PdfTextMap::ideographOf(targets[i])) + '>';
        if (section == Ranges)
            rebuilt += " ]";
        line = rebuilt;
    }
    return lines.join('\n');
}

}  // namespace

char16_t PdfTextMap::ideographOf(char16_t c)
{
    if (c >= 0x2F00 && c <= 0x2FD5)  // Kangxi radicals decompose to their ideographs
        return QString(QChar(c)).normalized(QString::NormalizationForm_KC).at(0).unicode();
    for (const auto &entry : supplement)
        if (entry.radical == c)
            return entry.ideograph;
    return c;
}

QByteArray PdfTextMap::preferIdeographs(const QByteArray &pdf)
{
    static const QRegularExpression toUnicode(QStringLiteral("/ToUnicode (\\d+) 0 R"));
    QSet<int> maps;
    for (const QRegularExpressionMatch &m : toUnicode.globalMatch(QString::fromLatin1(pdf)))
        maps.insert(m.captured(1).toInt());
    const qsizetype xref = pdf.lastIndexOf("\nxref\n") + 1;
    const qsizetype trailer = pdf.indexOf("trailer", xref);
    const qsizetype startxref = pdf.indexOf("startxref", trailer);
    if (maps.isEmpty())
        return pdf;
    // The document still prints as it is; only its text reads back with radicals.
    const auto giveUp = [&pdf](const char *why) {
        qCWarning(lcPrint) << "PDF text repair left the print file as it is:" << why;
        return pdf;
    };
    if (xref <= 0 || trailer < 0 || startxref < 0)
        return giveUp("no cross-reference table");

    // The cross-reference table tells where each object starts; an object
    // runs to the start of the next one. The character maps are written anew,
    // everything else is copied as it is, and the table is rebuilt.
    const QList<QByteArray> table = pdf.mid(xref, trailer - xref).split('\n');
    QList<std::pair<qsizetype, int>> starts;  // offset, object number
    for (int i = 3; i < table.size(); ++i)
        if (table[i].endsWith("n "))
            starts.append({table[i].left(10).toLongLong(), i - 2});
    std::sort(starts.begin(), starts.end());
    if (starts.size() != table.size() - 4)
        return giveUp("the cross-reference table has free objects or several sections");

    static const QRegularExpression stream(
        QStringLiteral("^(\\d+ 0 obj\\n<< /Length )(\\d+)(( /Filter /FlateDecode)? >>\\nstream\\n)"));
    QByteArray out = pdf.left(starts.isEmpty() ? xref : starts.first().first);
    QMap<int, qsizetype> offsets;
    for (int i = 0; i < starts.size(); ++i) {
        const auto [start, number] = starts[i];
        const qsizetype end = i + 1 < starts.size() ? starts[i + 1].first : xref;
        const QByteArray whole = pdf.mid(start, end - start);
        offsets[number] = out.size();
        if (!maps.contains(number)) {
            out += whole;
            continue;
        }
        const QRegularExpressionMatch s = stream.match(QString::fromLatin1(whole.left(200)));
        if (!s.hasMatch())
            return giveUp("a character map is not a stream");
        // The writer packs its streams or not, depending on how it was set up.
        const bool packedBefore = !s.captured(4).isEmpty();
        const QByteArray body = whole.mid(s.capturedLength(0), s.captured(2).toLongLong());
        const QByteArray cmap = packedBefore ? inflate(body) : body;
        const QByteArray rewritten = cmap.isEmpty() ? QByteArray() : packedBefore ? deflate(remap(cmap)) : remap(cmap);
        if (rewritten.isEmpty())
            return giveUp("a character map could not be unpacked or packed");
        out += s.captured(1).toLatin1() + QByteArray::number(rewritten.size()) + s.captured(3).toLatin1() + rewritten
               + "\nendstream\nendobj\n";
    }

    const qsizetype newXref = out.size();
    out += "xref\n0 " + QByteArray::number(starts.size() + 1) + "\n0000000000 65535 f \n";
    for (int number = 1; number <= starts.size(); ++number) {
        if (!offsets.contains(number))
            return giveUp("the objects are not numbered from 1 without gaps");
        out += QByteArray::number(offsets[number]).rightJustified(10, '0') + " 00000 n \n";
    }
    out += pdf.mid(trailer, startxref - trailer);
    out += "startxref\n" + QByteArray::number(newXref) + "\n%%EOF\n";
    return out;
}
