#include "ConfirmationFile.h"

#include "adif/AdifReader.h"
#include "platform/CodePage.h"

#include <QBuffer>
#include <QStringDecoder>

namespace {

QString textOf(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    return utf8.hasError() ? CodePage::fromAnsi(bytes.toByteArray()) : text;
}

bool sameName(QByteArrayView name, const char *tag)
{
    return name.compare(QByteArrayView(tag), Qt::CaseInsensitive) == 0;
}

} // namespace

ConfirmationFile ConfirmationFile::read(const QByteArray &bytes)
{
    ConfirmationFile file;
    QByteArray copy(bytes);
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    AdifReader reader(buffer);
    AdifReader::Field field;
    QList<Confirmation::Field> fields;
    bool headerDone = false;
    while (reader.next(field)) {
        if (sameName(field.name, "EOH") && !headerDone) {
            for (const Confirmation::Field &f : fields)
                file.header.insert(f.first, f.second);
            fields.clear();
            headerDone = true;
        } else if (sameName(field.name, "EOR")) {
            // A text without a header starts with its first record.
            headerDone = true;
            if (!fields.isEmpty())
                file.records.append(Confirmation::fromFields(std::move(fields)));
            fields.clear();
        } else if (sameName(field.name, "APP_LoTW_EOF")) {
            file.endMark = true;
        } else if (field.hasLength) {
            fields.append({textOf(field.name).toUpper(), textOf(field.value)});
        }
    }
    // LoTW's own fields (a record count, say) may also stand behind the last record;
    // any other field there belongs to a record the text lost the end of.
    for (const Confirmation::Field &f : fields) {
        if (f.first.startsWith(QLatin1String("APP_LOTW_")) && !file.header.contains(f.first))
            file.header.insert(f.first, f.second);
        else if (headerDone)
            file.openRecord = true;
    }
    return file;
}
