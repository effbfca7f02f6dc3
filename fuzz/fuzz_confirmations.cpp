// Feeds arbitrary bytes to the readers of what the confirmation services send back, and
// checks what the logbook relies on:
// - a LoTW report is complete (no error, its end mark in the text) or holds no records
//   and says why;
// - a service's ADIF text gives no more records than it has <EOR> marks (blanks inside a
//   tag, around its name, are no part of it);
// - every record read, matched against the records themselves as a logbook, finds a QSO
//   with its own call and start (itself, or one just like it), unless nothing could
//   match it: no start, no mode, or a satellite propagation without a satellite name;
// - eQSL's upload reply is ok exactly when it names its result, and counts no more
//   duplicates than warnings; its inbox page gives an .adi address or says why not;
// - a Club Log answer's kind follows its status, and it has words for the operator.
#include "FuzzCheck.h"

#include "net/ClubLogAnswer.h"
#include "net/ConfirmationFile.h"
#include "net/ConfirmationMatcher.h"
#include "net/EqslReply.h"
#include "net/LotwReport.h"

#include <QRegularExpression>

#include <cstddef>
#include <cstdint>

namespace {

void checkLotw(const QByteArray &bytes)
{
    const LotwReport report = LotwReport::parse(bytes);
    fuzzCheck(report.ok == report.error.isEmpty(), "a report is ok exactly when it says no error", report.error.toUtf8());
    fuzzCheck(report.ok || report.records.isEmpty(), "a failed report holds no records");
    static const QRegularExpression endMark(QStringLiteral("<\\s*app_lotw_eof\\s*>"),
                                            QRegularExpression::CaseInsensitiveOption);
    fuzzCheck(!report.ok || endMark.match(QString::fromLatin1(bytes)).hasMatch(), "a complete report has its end mark");
}

bool mayMatchItself(const Confirmation &record)
{
    if (!record.start.isValid() || (record.isSatellite() && record.satellite.isEmpty()))
        return false;
    if (!record.mode.trimmed().isEmpty())
        return true;
    return record.modeGroup.isEmpty() && !ConfirmationMatcher::modeGroup(record.mode, record.submode).isEmpty();
}

// The <EOR> marks of an ADIF text, blanks inside the tag before the name included.
qsizetype eorMarks(const QByteArray &bytes)
{
    static const QRegularExpression mark(QStringLiteral("<\\s*eor"), QRegularExpression::CaseInsensitiveOption);
    qsizetype count = 0;
    for (auto match = mark.globalMatch(QString::fromLatin1(bytes)); match.hasNext(); match.next())
        ++count;
    return count;
}

void checkRecords(const QByteArray &bytes)
{
    const ConfirmationFile file = ConfirmationFile::read(bytes);
    fuzzCheck(file.records.size() <= eorMarks(bytes), "no more records than <EOR> marks",
              QByteArray::number(file.records.size()));
    ConfirmationMatcher matcher;
    for (qsizetype i = 0; i < file.records.size(); ++i) {
        const Confirmation &record = file.records.at(i);
        fuzzCheck(!record.fields.isEmpty(), "a record has fields");
        matcher.addQso({i, record.call, record.band, record.mode, record.submode, record.start, record.satellite});
    }
    for (const Confirmation &record : file.records) {
        if (!mayMatchItself(record))
            continue;
        const std::optional<qint64> row = matcher.match(record);
        fuzzCheck(row.has_value(), "a record matches a logbook that holds it", record.call.toUtf8(), record.band.toUtf8());
        const Confirmation &found = file.records.at(*row);
        fuzzCheck(ConfirmationMatcher::baseCall(found.call) == ConfirmationMatcher::baseCall(record.call),
                  "the match has the record's call", found.call.toUtf8(), record.call.toUtf8());
        fuzzCheck(found.start == record.start, "the closest match started with the record",
                  found.start.toString(Qt::ISODate).toUtf8(), record.start.toString(Qt::ISODate).toUtf8());
    }
}

void checkEqsl(const QByteArray &bytes)
{
    const EqslReply::Upload upload = EqslReply::parseUpload(bytes);
    fuzzCheck(upload.ok == (upload.added >= 0 && upload.total >= 0), "an upload is ok exactly when it names its result");
    fuzzCheck(upload.ok || !upload.error.isEmpty(), "a failed upload says why");
    fuzzCheck(upload.duplicates <= upload.warnings.size(), "no more duplicates than warnings");
    QString error;
    const QUrl file = EqslReply::inboxFile(bytes, QUrl(QStringLiteral("https://www.eqsl.cc/qslcard/DownloadInBox.cfm")), &error);
    fuzzCheck(file.isValid() == error.isEmpty(), "an inbox page gives an address or says why not", error.toUtf8());
    fuzzCheck(!file.isValid() || file.path().endsWith(QLatin1String(".adi"), Qt::CaseInsensitive),
              "the inbox file is an .adi file", file.toEncoded());
}

void checkClubLog(const QByteArray &bytes)
{
    const int status = bytes.size() >= 2 ? (static_cast<unsigned char>(bytes[0]) << 8 | static_cast<unsigned char>(bytes[1])) % 600 : 0;
    const ClubLogAnswer answer = ClubLogAnswer::classify(status, bytes.mid(2), bytes.size() % 2 == 1);
    const ClubLogAnswer::Kind expected = status == 200 || (status == 404 && bytes.size() % 2 == 1) ? ClubLogAnswer::Done
                                       : status == 400                                             ? ClubLogAnswer::Rejected
                                       : status >= 500                                             ? ClubLogAnswer::RetryLater
                                                                                                   : ClubLogAnswer::Stop;
    fuzzCheck(answer.kind == expected, "the kind follows the status", QByteArray::number(status));
    fuzzCheck(!answer.words().isEmpty(), "an answer has words");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    checkLotw(bytes);
    checkRecords(bytes);
    checkEqsl(bytes);
    checkClubLog(bytes);
    return 0;
}
