#include "CallbookSettings.h"

#include "HamQthCallbook.h"
#include "QrzCallbook.h"
#include "platform/AppSettings.h"

#include <QSettings>

namespace {
const char kService[] = "Callbook/Service";
const char kUser[] = "Callbook/User";
const char kUrl[] = "Callbook/Url";
} // namespace

CallbookSettings CallbookSettings::load(const QSettings &settings)
{
    CallbookSettings loaded;
    loaded.service = settings.value(QLatin1String(kService), loaded.service).toString().trimmed().toLower();
    loaded.user = settings.value(QLatin1String(kUser)).toString().trimmed();
    loaded.url = QUrl(settings.value(QLatin1String(kUrl)).toString().trimmed());
    return loaded;
}

void CallbookSettings::save(QSettings &settings) const
{
    settings.setValue(QLatin1String(kService), service);
    settings.setValue(QLatin1String(kUser), user);
    settings.setValue(QLatin1String(kUrl), url.toString());
}

CallbookSettings CallbookSettings::load()
{
    return load(*AppSettings::open());
}

void CallbookSettings::save() const
{
    save(*AppSettings::open());
}

std::unique_ptr<CallbookService> CallbookSettings::createService(const QString &password) const
{
    std::unique_ptr<CallbookService> made;
    if (service == QLatin1String("qrz"))
        made = std::make_unique<QrzCallbook>();
    else if (service == QLatin1String("hamqth"))
        made = std::make_unique<HamQthCallbook>();
    else
        return made;
    made->setCredentials(user, password);
    made->setBaseUrl(url);
    return made;
}
