// Feeds arbitrary bytes to the ADIF reader and the field mapping, as the import does,
// and checks what the reader promises: fields are no longer than the text they come
// from, and reading only moves forward and never past the end.
#include "adif/AdifQsoMapping.h"
#include "adif/AdifReader.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    AdifReader reader(buffer);
    if (!reader.skipHeader())
        return 0;
    AdifQsoMapping::Record record;
    AdifQsoMapping::startRecord(record);
    AdifReader::Field field;
    qint64 previous = reader.position();
    while (reader.next(field)) {
        if (reader.position() <= previous || reader.position() > static_cast<qint64>(size))
            __builtin_trap();
        if (field.name.size() + field.value.size() > static_cast<qsizetype>(size))
            __builtin_trap();
        previous = reader.position();
        if (AdifQsoMapping::endsRecord(field.name)) {
            AdifQsoMapping::finishRecord(record);
            AdifQsoMapping::startRecord(record);
        }
        else if (field.hasLength)
            AdifQsoMapping::apply(record, field.name, field.value);
    }
    return 0;
}
