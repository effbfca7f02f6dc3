#include "AdifWriter.h"

#include "AdifLog.h"
#include "AdifQsoMapping.h"
#include "AdxWriter.h"
#include "platform/CodePage.h"
#include "store/Sqlite3DB.h"

#include <QDateTime>
#include <QLocale>
#include <QSaveFile>

#include <memory>

namespace {

const char kPreamble[] =
    "ADIF Export from Korva Version 3.0.0\r\n"
    "Korva3, the logbook for radio amateurs\r\n"
    "Web: https://korva3.example.org\r\n"
    "Mail: korva3@example.org\r\n"
    "\r\n";
const char kHeader[] =
    "<ADIF_VERS:5>3.1.7\r\n<PROGRAMID:6>Korva3\r\n<PROGRAMVERSION:5>3.0.14\r\n"
    "<CREATED_TIMESTAMP:15>%1\r\n";

// The user-defined fields as the header declares them: "<USERDEFn:LENGTH:TYPE>NAME" with
// ",{...}" when the field has an enumeration or range.
void appendUserFields(QByteArray &out, const QList<Sqlite3DB::UM_USERFIELD> &fields)
{
    for (qsizetype i = 0; i < fields.size(); ++i) {
        const Sqlite3DB::UM_USERFIELD &field = fields.at(i);
        QByteArray value;
        CodePage::appendAsUtf8(value, field.name);
        if (!field.limits.isEmpty()) {
            value += ',';
            CodePage::appendAsUtf8(value, field.limits);
        }
        out += "<USERDEF" + QByteArray::number(i + 1) + ':' + QByteArray::number(value.size())
             + (field.type.isEmpty() ? QByteArray() : ':' + field.type) + '>' + value + "\r\n";
    }
}

// Preamble, export date and header, with the local time taken once.
QByteArray head(const QDateTime &now, const QList<Sqlite3DB::UM_USERFIELD> &userFields)
{
    QByteArray out(kPreamble);
    out += "Export date on " + CodePage::toStored(QLocale::system().toString(now, QLocale::LongFormat)) + "\r\n\r\n";
    out += QString::fromLatin1(kHeader).arg(now.toString(QStringLiteral("yyyyMMdd HHmmss"))).toLatin1();
    appendUserFields(out, userFields);
    out += "<EOH>\r\n\r\n";
    return out;
}

bool isAdx(const QString &filePath)
{
    return filePath.endsWith(QLatin1String(".adx"), Qt::CaseInsensitive);
}

// Tells `report` the share of `total` rows done, each time it reaches a new percent.
class RowProgress
{
public:
    RowProgress(qint64 total, const std::function<void(int)> &report)
        : m_total(total)
        , m_report(report)
    {
        if (m_report)
            m_report(0);
    }

    void rowDone()
    {
        ++m_done;
        if (!m_report || m_total <= 0)
            return;
        const int percent = int(qMin<qint64>(100, m_done * 100 / m_total));
        if (percent != m_percent)
            m_report(m_percent = percent);
    }

private:
    qint64 m_total;
    qint64 m_done = 0;
    int m_percent = 0;
    const std::function<void(int)> &m_report;
};

} // namespace

AdifWriter::Result AdifWriter::ExportAdif(Sqlite3DB &db, const QString &filePath, const QString &logbookPath,
                                          int days, const std::function<void(int)> &progress)
{
    QSaveFile file(filePath);
    if (!file.open(QIODevice::WriteOnly)) {
        qCWarning(lcAdif).noquote() << "cannot create" << filePath << ":" << file.errorString();
        return Result::CannotCreate;
    }
    const QDateTime now = QDateTime::currentDateTime();
    QList<Sqlite3DB::UM_USERFIELD> userFields;
    db.ReadUserFields(userFields, logbookPath);
    // The records are written in chunks of about kChunk bytes from one reused buffer.
    constexpr qsizetype kChunk = 1 << 16;
    QByteArray chunk;
    chunk.reserve(2 * kChunk);
    bool writeFailed = false;
    const auto writeChunk = [&] {
        writeFailed = writeFailed || file.write(chunk) < 0;
        chunk.truncate(0);
        return !writeFailed;
    };
    std::unique_ptr<AdxWriter> adx;
    if (isAdx(filePath)) {
        adx = std::make_unique<AdxWriter>(file);
        adx->writeHeader(now.toString(QStringLiteral("yyyyMMdd HHmmss")).toLatin1(), userFields);
    } else {
        chunk = head(now, userFields);
    }
    RowProgress rows(progress ? db.CountExportQsos(logbookPath, days) : 0, progress);
    const bool read = db.ReadExportQsos(logbookPath, days, [&](const QsoRow &row) {
        AdifQsoMapping::appendRecord(chunk, row);
        rows.rowDone();
        if (!adx)
            return chunk.size() < kChunk || writeChunk();
        adx->writeRecord(chunk);
        chunk.truncate(0);
        return !adx->hasError();
    });
    if (adx) {
        adx->finish();
        writeFailed = adx->hasError();
    }
    writeChunk();
    if (!writeFailed && read && file.commit())
        return Result::Written;
    if (!writeFailed && !read)
        return Result::CannotReadLogbook;
    qCWarning(lcAdif).noquote() << "cannot write" << filePath << ":" << file.errorString();
    return Result::CannotWrite;
}
