#include "ConfirmationStream.h"

#include "adif/AdifReader.h"
#include "platform/CodePage.h"

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

ConfirmationStream::ConfirmationStream(QIODevice &source)
    : m_reader(std::make_unique<AdifReader>(source))
{
}

ConfirmationStream::~ConfirmationStream() = default;

bool ConfirmationStream::next(Confirmation &record)
{
    AdifReader::Field field;
    while (!m_finished && m_reader->next(field)) {
        if (sameName(field.name, "EOH") && !m_headerDone) {
            for (const Confirmation::Field &f : std::as_const(m_fields))
                m_header.insert(f.first, f.second);
            m_fields.clear();
            m_headerDone = true;
        } else if (sameName(field.name, "EOR")) {
            // A text without a header starts with its first record.
            m_headerDone = true;
            if (!m_fields.isEmpty()) {
                record = Confirmation::fromFields(std::move(m_fields));
                m_fields.clear();
                return true;
            }
        } else if (sameName(field.name, "APP_LoTW_EOF")) {
            m_endMark = true;
        } else if (field.hasLength) {
            m_fields.append({textOf(field.name).toUpper(), textOf(field.value)});
        }
    }
    finish();
    return false;
}

// LoTW's own fields (a record count, say) may also stand behind the last record; any
// other field there belongs to a record the text lost the end of.
void ConfirmationStream::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    for (const Confirmation::Field &f : std::as_const(m_fields)) {
        if (f.first.startsWith(QLatin1String("APP_LOTW_")) && !m_header.contains(f.first))
            m_header.insert(f.first, f.second);
        else if (m_headerDone)
            m_openRecord = true;
    }
    m_fields.clear();
}
